// Must not build: GIFT and the page are rooms beside each other.
#include "zibconv/gift/GiftWriter.h"

#include "zibconv/page/HtmlText.h"
