// zibconv's command line:
//   zibconv export SET.xml [OUTPUT] [--encoding utf-8|shift_jis] [--force]   (OUTPUT.html: the page)
//   zibconv import TABLE [OUTPUT] [--encoding utf-8|shift_jis] [--force]
//   zibconv check SET.xml|TABLE [--strict] [--json] [--encoding utf-8|shift_jis]
//   zibconv FILE      (.xml: export; .csv, .tsv or .txt: import)
//   zibconv --help | --version
#pragma once

#include "zibconv/tables/TableTypes.h"

#include <optional>
#include <string>
#include <vector>

enum class Command { Export, Import, Check, Help, Version };

struct Invocation {
    Command command = Command::Help;
    std::string input;
    std::string output; // the default, when none was given: a workbook for export
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

// Names ending in .csv, .tsv or .txt, or in .xlsx, .xls or .ods: a
// workbook dropped on the program is taken to import, which says what it
// needs instead.
bool isTableName(const std::string& path);

// Names ending in .html or .htm: export writes the page of the set.
bool isPageName(const std::string& path);

// Names ending in .xlsx: export writes a workbook.
bool isWorkbookName(const std::string& path);

// Tab-separated for names ending in .tsv or .txt, comma-separated otherwise.
char separatorFor(const std::string& path);
