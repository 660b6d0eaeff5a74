// How the loader fills a problem's field list from the field elements of a
// `main` or `sub`, one element at a time. zibconv's check tells from the
// same steps what a file loses.
#pragma once

#include "model/ProblemKinds.h"
#include "xml/XMLNodes.h"

#include <string>

// The text of a field element: that of its first child, blank when empty,
// with the file's bare line feeds turned back into CR LF.
std::string fieldText(const XMLNodes& element);

enum class Placement {
    Placed,
    Replaced,  // a single text's element that came before is overwritten
    ListFull,  // a list element finds no blank entry left: dropped
    NotAField, // a name the kind has no field of: ignored
};

// Puts the element's text into `texts`, the field list of `kind`: single
// texts (question, answer) are overwritten, so that the last element
// counts; a list element takes the first entry that is still blank text.
// `replaced` receives what an overwritten text held.
Placement placeField(TextList& texts, const ProblemKind& kind, const XMLNodes& element, std::string* replaced = nullptr);
