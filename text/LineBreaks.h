// Line breaks between their forms: the editor's controls and tables hold
// CR LF, XML files and spreadsheet cells LF. Every conversion is here.
#pragma once

#include <string>

// Each LF as CR LF (an XML text, whose breaks the parser made LF, for the
// editor); any CR stays as it is.
std::string lineFeedsAsCrLf(std::string text);

// Each CR LF as LF (a cell for a spreadsheet).
std::string crLfAsLineFeeds(std::string text);

// CR LF, a lone CR and a lone LF each as CR LF (a spreadsheet's cell, as a
// table's line breaks are read).
std::string anyBreaksAsCrLf(std::string text);
