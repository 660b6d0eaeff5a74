// zibconv's commands, a file each; each returns the exit status
// (Messages.h).
#pragma once

#include "zibconv/CommandLine.h"
#include "zibconv/Messages.h"
#include "zibconv/tables/QuizTable.h"

#include <optional>
#include <string>

int runExport(const Invocation& invocation); // ExportCommand.cpp
int runImport(const Invocation& invocation); // ImportCommand.cpp
int runCheck(const Invocation& invocation);  // CheckCommand.cpp

// What export and import share (Commands.cpp): whether the output may be
// written, saying why not; and why a quiz file the editor cannot open was
// not read, the file itself or what it holds (returns kExitUnreadable).
bool mayWrite(const Invocation& invocation);
int reportUnreadableQuizFile(const std::string& path);

// A table file read as import reads it (TableInput.cpp); nothing, with the
// reason printed, when the file cannot be read or is no table at all.
std::optional<TableRead> readTableFile(const Invocation& invocation);
