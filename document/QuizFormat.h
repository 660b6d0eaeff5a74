// The quiz file's structure around the kinds: the document element, and the
// groups of field elements inside a kind element. The kinds and their field
// elements are those of the kind table (model/ProblemKinds.h). The groups'
// names are also the levels of a table's rows and of the page's lines.
#pragma once

inline constexpr char kRootElementName[] = "root";
// The top-level problem's fields; the last one counts.
inline constexpr char kMainElementName[] = "main";
// A branch's fields, one element per branch in branch order.
inline constexpr char kSubElementName[] = "sub";
