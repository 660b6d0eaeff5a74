// Must not build: the page and the tables are rooms beside each other.
#include "zibconv/page/PageWriter.h"

#include "zibconv/tables/TableText.h"
