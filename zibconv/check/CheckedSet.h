// A set as check read it: a quiz file as the editor's Open reads it, or a
// table as import reads it.
#pragma once

#include "model/ProblemKinds.h"
#include "review/ContentReview.h"
#include "model/SetCounts.h"
#include "zibconv/tables/QuizTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One thing that would be lost, with the problem it belongs to (problem 0
// for none) and the whole sentence that tells it.
struct CheckLoss {
    std::size_t problem = 0;
    std::size_t branch = 0;
    const ProblemKind* kind = nullptr;
    std::string text;
};

// How many problems the set has and what their content review found, what
// reading them dropped, and notes of changes that lose nothing. The
// problems themselves are not kept.
struct CheckedSet {
    SetCounts counts;
    std::vector<ContentFinding> findings;
    std::vector<CheckLoss> losses;
    std::vector<std::string> notes;
    // A table's losses are refusals: import would write nothing, and its
    // problems are incomplete, so their content is not reviewed.
    bool isTable = false;
};

// A quiz file read as the editor's Open reads it, with what Open would
// drop (Check.cpp), its content reviewed as it is read unless `withReview`
// is false; nothing when the file cannot be read as XML.
std::optional<CheckedSet> checkQuizFile(const std::string& path, bool withReview = true);

// A table as import read it (CheckTable.cpp): what import would refuse is
// the table's loss, and the content of a refused table is not reviewed.
CheckedSet checkTable(const TableRead& read);
