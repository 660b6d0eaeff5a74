#include "zibconv/CommandLine.h"

#include "text/Encodings.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool endsWith(const std::string& path, const char* extension)
{
    const std::string lower = lowered(path);
    const std::string ending = extension;
    return lower.size() > ending.size() && lower.compare(lower.size() - ending.size(), ending.size(), ending) == 0;
}

// The same folder and name with another extension.
std::string withExtension(const std::string& path, const char* extension)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

// The two encodings a table is written in, by any of their names.
std::optional<TableEncoding> tableEncodingNamed(const std::string& name)
{
    const std::optional<SourceEncoding> named = encodingNamed(name, false);
    if (named && named->codePage == kCodePageUtf8)
        return TableEncoding::Utf8;
    if (named && named->codePage == kCodePageShiftJis)
        return TableEncoding::ShiftJis;
    return std::nullopt;
}

// The switch an option without a value sets; null for any other argument.
bool* flagNamed(const std::string& argument, Invocation& invocation)
{
    if (argument == "--force")
        return &invocation.force;
    if (argument == "--strict")
        return &invocation.strict;
    if (argument == "--json")
        return &invocation.json;
    return nullptr;
}

// Options anywhere after the command; the other arguments are the files.
bool readArguments(const std::vector<std::string>& arguments, std::size_t first, Invocation& invocation,
                   std::vector<std::string>& files, UsageError& error)
{
    for (std::size_t i = first; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (bool* flag = flagNamed(argument, invocation)) {
            *flag = true;
            continue;
        }
        if (argument == "--encoding") {
            if (i + 1 == arguments.size()) {
                error = {"--encoding の後に utf-8 か shift_jis を書いてください", ""};
                return false;
            }
            value = arguments[++i];
        } else if (argument.starts_with("--encoding=")) {
            value = argument.substr(11);
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = {"知らないオプションです", argument};
            return false;
        } else {
            files.push_back(argument);
            continue;
        }
        invocation.encoding = tableEncodingNamed(value);
        if (!invocation.encoding) {
            error = {"--encoding には utf-8 か shift_jis を書いてください", value};
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<Invocation> parseCommandLine(const std::vector<std::string>& arguments, UsageError& error)
{
    Invocation invocation;
    if (arguments.empty()) {
        error = {"コマンドがありません", ""};
        return std::nullopt;
    }
    const std::string& command = arguments.front();
    const bool help = command == "--help" || command == "-h" || command == "/?";
    if (help || command == "--version") {
        if (arguments.size() > 1) {
            error = {command + " の後には何も書けません", arguments[1]};
            return std::nullopt;
        }
        invocation.command = help ? Command::Help : Command::Version;
        return invocation;
    }
    std::size_t first = 1;
    if (command == "export") {
        invocation.command = Command::Export;
    } else if (command == "import") {
        invocation.command = Command::Import;
    } else if (command == "check") {
        invocation.command = Command::Check;
    } else if (endsWith(command, ".xml")) {
        invocation.command = Command::Export;
        first = 0;
    } else if (isTableName(command)) {
        invocation.command = Command::Import;
        first = 0;
    } else {
        error = {"知らないコマンドです", command};
        return std::nullopt;
    }

    std::vector<std::string> files;
    if (!readArguments(arguments, first, invocation, files, error))
        return std::nullopt;
    const std::size_t most = invocation.command == Command::Check || first == 0 ? 1 : 2;
    if (files.empty()) {
        error = {"入力ファイルを書いてください", ""};
        return std::nullopt;
    }
    if (files.size() > most) {
        error = {"ファイルが多すぎます", files[most]};
        return std::nullopt;
    }
    if (invocation.command == Command::Check && invocation.force) {
        error = {"check には --force を付けられません", ""};
        return std::nullopt;
    }
    if (invocation.command != Command::Check && (invocation.strict || invocation.json)) {
        error = {"--strict と --json は check にだけ付けられます", ""};
        return std::nullopt;
    }
    if (invocation.command == Command::Export && files.size() > 1 && isPageName(files[1]) && invocation.encoding) {
        error = {"ページは UTF-8 だけで書き出すため、--encoding は付けられません", ""};
        return std::nullopt;
    }
    invocation.input = files[0];
    if (files.size() > 1)
        invocation.output = files[1];
    else if (invocation.command == Command::Export)
        invocation.output = withExtension(invocation.input, ".xlsx");
    else if (invocation.command == Command::Import)
        invocation.output = withExtension(invocation.input, ".xml");
    return invocation;
}

bool isTableName(const std::string& path)
{
    for (const char* extension : {".csv", ".tsv", ".txt", ".xlsx", ".xls", ".ods"})
        if (endsWith(path, extension))
            return true;
    return false;
}

bool isWorkbookName(const std::string& path)
{
    return endsWith(path, ".xlsx");
}

bool isPageName(const std::string& path)
{
    return endsWith(path, ".html") || endsWith(path, ".htm");
}

char separatorFor(const std::string& path)
{
    return endsWith(path, ".tsv") || endsWith(path, ".txt") ? '\t' : ',';
}
