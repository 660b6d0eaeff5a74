// zibconv's commands. Each returns the exit status: 0 done; 1 the input was
// read but refused (or, for check, the editor would lose something), or the
// output could not be written; 2 the input cannot be read at all.
#pragma once

#include "zibconv/CommandLine.h"
#include "zibconv/tables/QuizTable.h"

#include <optional>
#include <vector>

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitUsage = 64;

// Says why a quiz file the editor cannot open was not read: the file
// itself, or what it holds. Returns kExitUnreadable.
int reportUnreadableQuizFile(const std::string& path);

// A table file read as import reads it: its problems, notices, and every
// finding of its decoding and its rows. Nothing, with the reason printed,
// when the file cannot be read or is no table at all.
std::optional<TableRead> readTableFile(const Invocation& invocation);

int runExport(const Invocation& invocation);
int runImport(const Invocation& invocation);
int runCheck(const Invocation& invocation);

// For import: one line on standard error with the number of content
// findings, when there are any.
void printContentFindingCount(const ProblemList& problems);
