// Quiz files made to hurt a reader: document types and entity bombs,
// absurd nesting and sizes, byte-order marks that contradict the
// declaration, broken Shift-JIS, UTF-8 and UTF-16, NUL bytes, references
// XML forbids, characters code page 932 cannot hold, empty files, a folder
// in a file's place, and comments and processing instructions everywhere.
#pragma once

#include <string>

void writeHostileFiles(const std::string& folder);
