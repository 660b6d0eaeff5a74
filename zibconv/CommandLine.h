// zibconv's command line: its commands, their files and options, and what
// each file is by its name. The usage it prints is made from the same
// table (usageLines).
#pragma once

#include "zibconv/tables/TableTypes.h"

#include <optional>
#include <string>
#include <vector>

enum class Command { Export, Import, Check, Help, Version };

// What a file is, told once by its name's extension (in any case).
enum class FileForm { Other, QuizFile, Csv, Tsv, Workbook, OtherWorkbook, Page, Gift, Anki, Qti };
FileForm formOf(const std::string& path);

// A table or a workbook: what import and check read as rows.
bool isTableForm(FileForm form);

struct Invocation {
    Command command = Command::Help;
    std::string input;
    std::string output; // the default, when none was given: a workbook for export
    FileForm inputForm = FileForm::Other;
    FileForm outputForm = FileForm::Other;
    std::optional<TableEncoding> encoding;
    bool force = false;
    // check: content findings make the status 1; the report as JSON.
    bool strict = false;
    bool json = false;
};

// Why the arguments are no valid use: a Shift-JIS message, and the
// argument it is about as the system gave it (maybe empty).
struct UsageError {
    std::string message;
    std::string argument;
};

// The invocation of the arguments (without the program's name); nothing,
// with `error` saying why, when they are no valid use.
std::optional<Invocation> parseCommandLine(const std::vector<std::string>& arguments, UsageError& error);

// Tab-separated for a TSV or "Unicode text", comma-separated otherwise.
char separatorOf(FileForm form);

// "使い方:" and a line for each form of the command line.
std::vector<std::string> usageLines();
