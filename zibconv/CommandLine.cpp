#include "zibconv/CommandLine.h"

#include "text/Encodings.h"
#include "zibconv/Messages.h"

#include <algorithm>
#include <cctype>

namespace {

struct NamedForm {
    const char* extension;
    FileForm form;
};
const NamedForm kForms[] = {
    {".xml", FileForm::QuizFile}, {".csv", FileForm::Csv},           {".tsv", FileForm::Tsv},
    {".txt", FileForm::Tsv},      {".xlsx", FileForm::Workbook},     {".xls", FileForm::OtherWorkbook},
    {".ods", FileForm::OtherWorkbook}, {".html", FileForm::Page},    {".htm", FileForm::Page},
    {".gift", FileForm::Gift},        {".apkg", FileForm::Anki},
    {".zip", FileForm::Qti},
};

// Why an export to a form written in UTF-8 alone refuses --encoding; null
// for the tables, which take it.
const char* encodingRefusalOf(FileForm form)
{
    switch (form) {
    case FileForm::Page: return message::kPageHasNoEncoding;
    case FileForm::Gift: return message::kGiftHasNoEncoding;
    case FileForm::Qti: return message::kQtiHasNoEncoding;
    case FileForm::Anki: return message::kAnkiHasNoEncoding;
    default: return nullptr;
    }
}

// The options a command may take, each once in this table with how the
// usage shows it; a flag sets its member of the invocation.
enum class Option { Encoding, Force, Strict, Json };
struct OptionForm {
    Option option;
    const char* name;
    bool Invocation::*flag; // null for an option with a value
    const char* usage;
    // Why a command that does not take the option refuses it; null: message::optionNotTaken.
    const char* refusal;
};
const OptionForm kOptions[] = {
    {Option::Encoding, "--encoding", nullptr, "[--encoding utf-8|shift_jis]", nullptr},
    {Option::Force, "--force", &Invocation::force, "[--force]", nullptr},
    {Option::Strict, "--strict", &Invocation::strict, "[--strict]", message::kCheckOnlyOptions},
    {Option::Json, "--json", &Invocation::json, "[--json]", message::kCheckOnlyOptions},
};

struct CommandForm {
    const char* name;
    Command command;
    const char* files; // as the usage shows them
    std::size_t mostFiles;
    std::vector<Option> options; // in the usage's order
    const char* defaultOutput;   // the extension of OUTPUT when none is given; null: no output
};
const CommandForm kCommands[] = {
    {"export", Command::Export, "SET.xml [OUTPUT]", 2, {Option::Encoding, Option::Force}, ".xlsx"},
    {"import", Command::Import, "TABLE|BOOK.xlsx [OUTPUT]", 2, {Option::Encoding, Option::Force}, ".xml"},
    {"check", Command::Check, "SET.xml|TABLE|BOOK.xlsx", 1, {Option::Strict, Option::Json, Option::Encoding}, nullptr},
};

// A file dropped on the program arrives alone: a quiz file is exported, a
// table or a workbook (of any program: import tells what it needs) imported.
const CommandForm& commandForDropped(FileForm form)
{
    return form == FileForm::QuizFile ? kCommands[0] : kCommands[1];
}

const char* const kHelpNames[] = {"--help", "-h", "/?"};

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
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

const OptionForm* optionNamed(const std::string& argument)
{
    for (const OptionForm& form : kOptions)
        if (argument == form.name || (!form.flag && argument.starts_with(std::string(form.name) + "=")))
            return &form;
    return nullptr;
}

const OptionForm& formOf(Option option)
{
    return *std::find_if(std::begin(kOptions), std::end(kOptions), [&](const OptionForm& form) { return form.option == option; });
}

bool takes(const CommandForm& command, Option option)
{
    return std::find(command.options.begin(), command.options.end(), option) != command.options.end();
}

// Options anywhere after the command; the other arguments are the files.
bool readArguments(const std::vector<std::string>& arguments, std::size_t first, Invocation& invocation,
                   std::vector<std::string>& files, std::vector<Option>& given, UsageError& error)
{
    for (std::size_t i = first; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const OptionForm* option = optionNamed(argument);
        if (!option) {
            if (argument.size() > 1 && argument[0] == '-') {
                error = {message::kUnknownOption, argument};
                return false;
            }
            files.push_back(argument);
            continue;
        }
        given.push_back(option->option);
        if (option->flag) {
            invocation.*option->flag = true;
            continue;
        }
        std::string value;
        if (argument != option->name) {
            value = argument.substr(argument.find('=') + 1);
        } else if (i + 1 == arguments.size()) {
            error = {message::kEncodingMissing, ""};
            return false;
        } else {
            value = arguments[++i];
        }
        invocation.encoding = tableEncodingNamed(value);
        if (!invocation.encoding) {
            error = {message::kEncodingUnknown, value};
            return false;
        }
    }
    return true;
}

// An option the command does not take, in the table's order.
bool refuseOptions(const CommandForm& command, const std::vector<Option>& given, UsageError& error)
{
    for (const OptionForm& option : kOptions) {
        if (takes(command, option.option) || std::find(given.begin(), given.end(), option.option) == given.end())
            continue;
        error = {option.refusal ? std::string(option.refusal) : message::optionNotTaken(command.name, option.name), ""};
        return true;
    }
    return false;
}

} // namespace

FileForm formOf(const std::string& path)
{
    const std::string lower = lowered(path);
    for (const NamedForm& named : kForms) {
        const std::string_view extension = named.extension;
        if (lower.size() > extension.size() && lower.ends_with(extension))
            return named.form;
    }
    return FileForm::Other;
}

bool isTableForm(FileForm form)
{
    return form == FileForm::Csv || form == FileForm::Tsv || form == FileForm::Workbook ||
           form == FileForm::OtherWorkbook;
}

char separatorOf(FileForm form)
{
    return form == FileForm::Tsv ? '\t' : ',';
}

std::optional<Invocation> parseCommandLine(const std::vector<std::string>& arguments, UsageError& error)
{
    Invocation invocation;
    if (arguments.empty()) {
        error = {message::kNoCommand, ""};
        return std::nullopt;
    }
    const std::string& name = arguments.front();
    const bool help = std::find(std::begin(kHelpNames), std::end(kHelpNames), name) != std::end(kHelpNames);
    if (help || name == "--version") {
        if (arguments.size() > 1) {
            error = {message::nothingAfter(name), arguments[1]};
            return std::nullopt;
        }
        invocation.command = help ? Command::Help : Command::Version;
        return invocation;
    }
    const CommandForm* command = nullptr;
    for (const CommandForm& form : kCommands)
        if (name == form.name)
            command = &form;
    const bool dropped = !command;
    if (dropped) {
        const FileForm form = formOf(name);
        if (form != FileForm::QuizFile && !isTableForm(form)) {
            error = {message::kUnknownCommand, name};
            return std::nullopt;
        }
        command = &commandForDropped(form);
    }
    invocation.command = command->command;

    std::vector<std::string> files;
    std::vector<Option> given;
    if (!readArguments(arguments, dropped ? 0 : 1, invocation, files, given, error))
        return std::nullopt;
    const std::size_t most = dropped ? 1 : command->mostFiles;
    if (files.empty()) {
        error = {message::kNoInput, ""};
        return std::nullopt;
    }
    if (files.size() > most) {
        error = {message::kTooManyFiles, files[most]};
        return std::nullopt;
    }
    if (refuseOptions(*command, given, error))
        return std::nullopt;
    invocation.input = files[0];
    if (files.size() > 1)
        invocation.output = files[1];
    else if (command->defaultOutput)
        invocation.output = withExtension(invocation.input, command->defaultOutput);
    invocation.inputForm = formOf(invocation.input);
    invocation.outputForm = formOf(invocation.output);
    // The page, GIFT, QTI and Anki are UTF-8 alone.
    if (invocation.command == Command::Export && invocation.encoding)
        if (const char* refusal = encodingRefusalOf(invocation.outputForm)) {
            error = {refusal, ""};
            return std::nullopt;
        }
    return invocation;
}

std::vector<std::string> usageLines()
{
    std::vector<std::string> lines{message::kUsage};
    for (const CommandForm& command : kCommands) {
        std::string line = std::string("  zibconv ") + command.name + " " + command.files;
        for (Option option : command.options)
            line += std::string(" ") + formOf(option).usage;
        lines.push_back(line);
    }
    lines.push_back(message::kUsageOfDroppedFile);
    lines.push_back("  zibconv " + std::string(kHelpNames[0]) + " | --version");
    return lines;
}
