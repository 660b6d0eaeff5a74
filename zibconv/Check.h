// check: reads a quiz file as the editor's Open does and tells everything
// of it that the editor would not keep, with the problem it belongs to.
#pragma once

#include "model/ProblemList.h"

#include <optional>
#include <string>
#include <vector>

struct CheckReport {
    // What the editor would lose, in set order; then what it would change
    // without losing anything.
    std::vector<std::string> losses;
    std::vector<std::string> notes;
    // The problems of each kind and the branches, in one line.
    std::string summary;
    // The problems as the editor would open them.
    ProblemList problems;
};

// Nothing when the file cannot be read as XML.
std::optional<CheckReport> checkQuizFile(const std::string& path);
