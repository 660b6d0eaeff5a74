// The quiz file's vocabulary: kind elements, the field elements of each
// kind in the order of the kind's field list, and the blank text.
#pragma once

#include <string>
#include <vector>

// An unset field: one space, in problems and in the file alike.
inline const std::string kBlankText = " ";

// "ox", "yontaku", ... for kinds 0-5; null for any other tag.
const char* kindElementName(int kind);

// The kind of a kind element by exact, case-sensitive name; -1 for others.
int kindOfElementName(const std::string& name);

// The field elements of `main` and `sub` in a kind element, one per text of
// the kind's field list; empty for a tag outside 0-5.
const std::vector<std::string>& fieldElementNames(int kind);

// `dummy`, `hint`, `panel`, `reel`: elements that fill a list.
bool isListElementName(const std::string& name);
