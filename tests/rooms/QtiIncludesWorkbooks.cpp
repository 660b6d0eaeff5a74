// Must not build: the QTI package and the workbooks are rooms beside each
// other, though both zip.
#include "zibconv/qti/QtiWriter.h"

#include "zibconv/workbooks/WorkbookReader.h"
