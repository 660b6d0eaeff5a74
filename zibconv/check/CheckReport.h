// check's report: what the editor (or import, for a table) would drop, then
// what the content review finds (review/ContentReview.h), then a summary;
// as text for people or as one JSON document for programs.
#pragma once

#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "review/ContentReview.h"
#include "zibconv/CommandLine.h"

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

// How many problems of each kind (in tag order) and branches a set has.
struct SetCounts {
    std::size_t problems = 0;
    std::size_t branches = 0;
    std::vector<std::size_t> ofKind = std::vector<std::size_t>(problemKinds().size());

    // A top-level problem with its branches.
    void add(const ProblemBase& problem);
};
SetCounts countsOf(const ProblemList& problems);

// A set as check read it: how many problems it has and what their content
// review found, what reading them dropped, and notes of changes that lose
// nothing. The problems themselves are not kept.
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
// "問題 3 問 (ox 1、四択 2、…)、分岐 4 問"
std::string summaryText(const SetCounts& counts);

// The text report, line by line, of a set and its content findings.
std::vector<std::string> textReport(const CheckedSet& set, const std::vector<ContentFinding>& findings);

// Reviews the content, prints the report as the invocation asks, and
// returns check's exit status: 1 when something would be lost, or with
// --strict when the review found anything; 0 otherwise.
int reportCheck(const Invocation& invocation, const CheckedSet& set);

// For import: one line on standard error with the number of content
// findings, when there are any.
void printContentFindingCount(const ProblemList& problems);
