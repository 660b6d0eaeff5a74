// Arbitrary bytes through zibconv's table reader: decodeTable, then
// problemsFromRows. The first byte chooses how the table is read, the rest
// is the table file:
//   separator: even byte a comma, odd byte a tab;
//   encoding the user named: (byte / 2) % 3 is 0 none, 1 UTF-8, 2 Shift-JIS.
// So "0".."5" stand for comma, tab, comma + UTF-8, tab + UTF-8,
// comma + Shift-JIS and tab + Shift-JIS.
//
// Besides the sanitizers' findings it traps when an imported problem breaks
// the list's shape, and, for a table accepted without any finding, when the
// table exported from its problems does not import again without findings
// to the same problems, or when exporting those does not give the same
// bytes again; and when the quiz file import writes of it loses anything
// to check, or export of that file is not the table as Open reads it
// (tests/zibconv/OpenedTable.h).
#include "WholeTables.h"
#include "OpenedTable.h"
#include "ProblemShape.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "text/ShiftJis.h"
#include "zibconv/check/CheckReport.h"
#include "zibconv/tables/ExportTable.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// What a quiz file can hold: code page 932 text without control
// characters other than tab, CR and LF.
void requireStorableText(const std::string& text)
{
    require(isValidShiftJis(text));
    for (char c : text)
        require(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\r' || c == '\n');
}

// Every problem as the import must build it (ProblemShape.h), its texts
// ones a quiz file can hold.
void requireImportedShape(const ProblemBase& problem)
{
    require(shapeFault(problem).empty());
    for (const std::string& text : getFields(problem))
        requireStorableText(text);
    for (const ProblemPtr& branch : problem.getBranches())
        requireImportedShape(*branch);
}

// Code page 932 holds some characters twice (the NEC and IBM rows); a
// Shift-JIS table may use either code, but a character that went out as
// UTF-8 comes back as the one code Windows writes. The UTF-8 round trip
// keeps the characters, so it must give a text these very bytes.
std::string windowsCodeOf(const std::string& text)
{
    const std::optional<std::u32string> characters = decodeShiftJis(text);
    require(characters.has_value());
    const std::optional<std::string> bytes = encodeShiftJis(*characters);
    require(bytes.has_value());
    return *bytes;
}

// Kind, texts (by length and bytes) and branches; `normalise` says whether
// texts are taken as the code Windows writes for their characters.
std::string describe(const ProblemBase& problem, bool normalise)
{
    std::string out = std::to_string(problem.type);
    for (const std::string& text : getFields(problem)) {
        const std::string bytes = normalise ? windowsCodeOf(text) : text;
        out += "|" + std::to_string(bytes.size()) + ":" + bytes;
    }
    for (const ProblemPtr& branch : problem.getBranches())
        out += "{" + describe(*branch, normalise) + "}";
    return out;
}

std::string describe(const ProblemList& problems, bool normalise)
{
    std::string out;
    for (const ProblemPtr& problem : problems)
        out += describe(*problem, normalise) + "\n";
    return out;
}

std::optional<TableEncoding> givenEncoding(std::uint8_t selector)
{
    switch ((selector / 2) % 3) {
    case 1: return TableEncoding::Utf8;
    case 2: return TableEncoding::ShiftJis;
    default: return std::nullopt;
    }
}

std::string exportedBytes(const ProblemList& problems, char separator)
{
    const std::optional<std::string> bytes = encodeTable(problemRows(problems), separator, TableEncoding::Utf8);
    require(bytes.has_value());
    return *bytes;
}

// The import as zibconv does it with no encoding named: the byte-order mark
// of the exported table decides.
ProblemList importWithoutFindings(std::string_view bytes, char separator)
{
    const DecodedTable table = decodeTable(bytes, separator, std::nullopt);
    require(table.findings.empty());
    ImportedProblems imported = problemsFromRows(table.rows);
    require(imported.findings.empty());
    return std::move(imported.problems);
}

// The rows with each cell as the code Windows writes for its characters.
std::vector<TableRow> windowsCodesOf(std::vector<TableRow> rows)
{
    for (TableRow& row : rows)
        for (std::string& cell : row)
            cell = windowsCodeOf(cell);
    return rows;
}

// The quiz file of one run, removed when the fuzzer ends.
struct QuizFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("zib-table-fuzz-" + std::to_string(getpid()) + ".xml")).string();
    ~QuizFile() { std::filesystem::remove(path); }
};

// Through a real file, as the command does it: check finds nothing lost,
// and export gives the table as Open reads it.
void requireOpenedAsNoticed(const std::vector<TableRow>& rows, const ImportedProblems& imported)
{
    std::set<std::size_t> noticed;
    for (const TableFinding& notice : imported.notices)
        noticed.insert(notice.row);
    require(noticed == rowsOpenedOtherwise(rows));
    static const QuizFile file;
    problemList = imported.problems;
    require(saveProblemList(file.path));
    const std::optional<CheckedSet> checked = checkQuizFile(file.path);
    require(checked && checked->losses.empty());
    const std::optional<ExportedTable> exported = exportQuizFile(file.path, ',', TableEncoding::Utf8);
    require(exported && exported->bytes);
    require(decodeTable(*exported->bytes, ',', std::nullopt).rows == windowsCodesOf(tableAsOpened(rows)));
    problemList.clear();
}

} // namespace

// The product's literals are code page 932 here as in its own build (the
// fuzz build compiles them escaped): the editor's kind names must match
// the bytes a table gives, or the fuzzer would miss the product's match.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    require(kindOfElement("yontaku") && kindOfComboText("\x8E\x6C\x91\xF0") == kindOfElement("yontaku"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char separator = data[0] % 2 == 0 ? ',' : '\t';
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const DecodedTable table = decodeTable(bytes, separator, givenEncoding(data[0]));
    const ImportedProblems imported = problemsFromRows(table.rows, table.unreadableNames);
    for (const ProblemPtr& problem : imported.problems) {
        require(problem != nullptr);
        requireImportedShape(*problem);
    }
    if (!table.findings.empty() || !imported.findings.empty())
        return 0;

    const std::string exported = exportedBytes(imported.problems, separator);
    const ProblemList again = importWithoutFindings(exported, separator);
    require(describe(again, false) == describe(imported.problems, true));
    require(exportedBytes(again, separator) == exported);
    requireOpenedAsNoticed(table.rows, imported);
    return 0;
}
