#include "zibconv/tables/QuizTable.h"

#include "document/BranchLayout.h"
#include "document/QuizFormat.h"
#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"
#include "text/ShiftJisToUtf8.h"
#include "xml/XMLLimits.h"
#include "xml/XMLProlog.h"

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <utility>

namespace {

const char kKindColumn[] = "kind";
const char kLevelColumn[] = "level";

// The columns after kind and level: one per text of a field.
std::span<const QuizColumn> fieldColumns()
{
    return std::span<const QuizColumn>(quizColumns()).subspan(2);
}

const QuizColumn& columnOf(TextPlace text)
{
    for (const QuizColumn& column : fieldColumns())
        if (column.text == text)
            return column;
    throw std::logic_error("a text without a column");
}

// For each kind, in tag order, where each column's text stands among the
// kind's texts: asked for every row of a large set, so found once.
const std::vector<std::vector<std::optional<std::size_t>>>& columnPositions()
{
    static const std::vector<std::vector<std::optional<std::size_t>>> positions = [] {
        std::vector<std::vector<std::optional<std::size_t>>> all;
        for (const ProblemKind& kind : problemKinds()) {
            std::vector<std::optional<std::size_t>>& ofKind = all.emplace_back();
            for (const QuizColumn& column : fieldColumns())
                ofKind.push_back(kind.positionOf(*column.text));
        }
        return all;
    }();
    return positions;
}

TableRow rowOf(const ProblemBase& problem, const ProblemKind& layout, const char* level)
{
    TextList texts = fieldsInLayout(problem, layout.tag);
    TableRow row;
    row.reserve(2 + fieldColumns().size());
    row.emplace_back(layout.elementName);
    row.emplace_back(level);
    // Each text has one column: it is moved there, not copied.
    for (const std::optional<std::size_t>& position : columnPositions()[static_cast<std::size_t>(layout.tag)])
        row.push_back(position && texts[*position] != kBlankText ? std::move(texts[*position]) : std::string());
    return row;
}

bool isEmptyRow(const TableRow& row)
{
    return std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); });
}

// Where each named column stands in the table; found from the first row.
struct Header {
    std::optional<std::size_t> kind;
    std::optional<std::size_t> level;
    std::vector<std::pair<const QuizColumn*, std::size_t>> fields;
    std::vector<std::size_t> unnamed; // empty names: their cells must be empty
    std::size_t width = 0;
};

Header readHeader(const TableRow& names, const std::vector<std::size_t>& unreadable,
                  std::vector<TableFinding>& findings)
{
    Header header;
    header.width = names.size();
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (std::find(unreadable.begin(), unreadable.end(), i) != unreadable.end())
            continue;
        if (name.empty()) {
            header.unnamed.push_back(i);
            continue;
        }
        if (!seen.emplace(name, i).second) {
            findings.push_back({1, name, "列名が二度あります"});
            continue;
        }
        if (name == kKindColumn) {
            header.kind = i;
        } else if (name == kLevelColumn) {
            header.level = i;
        } else {
            const QuizColumn* found = quizColumnNamed(name);
            if (!found)
                findings.push_back({1, name, "知らない列名です"});
            else
                header.fields.emplace_back(found, i);
        }
    }
    // An unreadable name may be the kind's: its finding is the one to fix.
    if (!header.kind && unreadable.empty())
        findings.push_back({1, kKindColumn, "kind の列がありません"});
    return header;
}

const std::string& cellAt(const TableRow& row, std::optional<std::size_t> column)
{
    static const std::string none;
    return column && *column < row.size() ? row[*column] : none;
}

// Reads the data rows one by one into problems, noting what is wrong.
class RowReader {
public:
    RowReader(const Header& tableHeader, std::vector<TableFinding>& allFindings, std::vector<TableFinding>& allNotices)
        : header(tableHeader), findings(allFindings), notices(allNotices)
    {
    }

    void read(const TableRow& row, std::size_t rowNumber)
    {
        number = rowNumber;
        const std::size_t before = findings.size();
        checkWidth(row);
        const std::string& level = cellAt(row, header.level);
        const bool isBranch = level == kSubElementName;
        if (!isBranch && !level.empty() && level != kMainElementName)
            note(kLevelColumn, "level は main か sub か空にしてください");
        const ProblemKind* kind = kindOf(row, isBranch);
        TextList texts = kind ? TextList(kind->fieldCount(), kBlankText) : TextList();
        for (const auto& [column, index] : header.fields)
            placeCell(cellAt(row, index), *column, kind, texts);
        if (kind)
            noteGaps(*kind, texts);
        if (!isBranch)
            parent = nullptr;
        if (findings.size() != before || !kind)
            return;
        ProblemPtr problem = kind->create(std::move(texts));
        if (isBranch) {
            if (parent)
                parent->addBranch(std::move(problem));
            return;
        }
        parent = problem;
        problems.push_back(std::move(problem));
    }

    ProblemList problems;

private:
    void note(const std::string& column, std::string message)
    {
        findings.push_back({number, column, std::move(message)});
    }

    void checkWidth(const TableRow& row)
    {
        for (std::size_t i = header.width; i < row.size(); ++i)
            if (!row[i].empty()) {
                note("", "列名の数より多くのセルがあります");
                break;
            }
        for (std::size_t i : header.unnamed)
            if (i < row.size() && !row[i].empty()) {
                note("", "列名のない列にセルがあります");
                break;
            }
    }

    // The kind of the row; a branch row may leave it to its parent's.
    const ProblemKind* kindOf(const TableRow& row, bool isBranch)
    {
        if (isBranch && !sawTopLevel) {
            note(kLevelColumn, "最初の main の行より前に sub の行があります");
            return nullptr;
        }
        const std::string& name = cellAt(row, header.kind);
        const ProblemKind* kind = kindOfElement(name);
        if (!kind)
            kind = kindOfComboText(name);
        if (!isBranch) {
            sawTopLevel = true;
            if (!kind)
                note(kKindColumn, name.empty() ? "kind が空です" : "知らない kind です: " + name);
            parentKind = kind;
            return kind;
        }
        if (!parentKind)
            return nullptr; // the parent's kind is refused already
        if (name.empty())
            return parentKind;
        if (!kind)
            note(kKindColumn, "知らない kind です: " + name);
        else if (kind != parentKind)
            note(kKindColumn, std::string("分岐の kind が親の kind (") + parentKind->elementName + ") と違います");
        return kind == parentKind ? kind : nullptr;
    }

    // An empty cell is blank text; so is one of nothing but spaces, tabs
    // and line breaks, which Open would drop, with a notice.
    void placeCell(const std::string& cell, const QuizColumn& column, const ProblemKind* kind, TextList& texts)
    {
        if (cell.empty() || !kind)
            return;
        const std::optional<std::size_t> position = kind->positionOf(*column.text);
        if (!position) {
            note(column.name, std::string(kind->elementName) + " にはこの列の欄がありません");
            return;
        }
        if (isXmlSpaceOnly(std::string_view(cell))) {
            notices.push_back({number, column.name, "空白、タブか改行だけのセルです。エディターは読み込まないため、空のセルとして読みます"});
            return;
        }
        if (const std::optional<std::size_t> length = lengthBeyondLimit(cell)) {
            note(column.name, "テキストが長すぎます: UTF-8 で " + std::to_string(*length) +
                                  " バイトあり、エディターが読めるのは " + std::to_string(kMaxTextBytes) + " バイトまでです");
            return;
        }
        texts[*position] = cell;
    }

    // The length of the text as the reader counts it, in UTF-8 with each
    // line break one character, when it is beyond the reader's limit.
    static std::optional<std::size_t> lengthBeyondLimit(const std::string& cell)
    {
        // No character of code page 932 takes more than three bytes in UTF-8.
        if (cell.size() <= kMaxTextBytes / 3)
            return std::nullopt;
        std::string utf8;
        if (!appendShiftJisAsUtf8(cell, utf8))
            return std::nullopt; // the table's decoding refused it already
        std::size_t length = utf8.size();
        for (std::size_t at = utf8.find("\r\n"); at != std::string::npos; at = utf8.find("\r\n", at + 2))
            --length;
        if (length <= kMaxTextBytes)
            return std::nullopt;
        return length;
    }

    // Open fills a list's entries in order and closes up a blank one
    // before a filled one; the row's texts stay as they are, the quiz file
    // holds them so, and the notice tells what Open will make of them.
    void noteGaps(const ProblemKind& kind, const TextList& texts)
    {
        for (const FieldInfo& field : allFields()) {
            if (!field.isList)
                continue;
            std::optional<std::size_t> firstBlank;
            for (std::size_t occurrence = 0;; ++occurrence) {
                const std::optional<std::size_t> position = kind.positionOf(field.field, occurrence);
                if (!position)
                    break;
                if (texts[*position] == kBlankText) {
                    firstBlank = firstBlank.value_or(occurrence);
                } else if (firstBlank) {
                    notices.push_back({number, columnOf({field.field, *firstBlank}).name,
                                       "空の欄の後ろに埋まった欄があります。エディターで開くと、後ろの欄が前に詰められます"});
                    break;
                }
            }
        }
    }

    const Header& header;
    std::vector<TableFinding>& findings;
    std::vector<TableFinding>& notices;
    std::size_t number = 0;
    bool sawTopLevel = false;
    const ProblemKind* parentKind = nullptr; // of the last top-level row
    ProblemPtr parent;                       // of the last top-level row, when it is sound
};

} // namespace

const std::vector<QuizColumn>& quizColumns()
{
    static const std::vector<QuizColumn> columns = [] {
        std::vector<QuizColumn> all{{kKindColumn, std::nullopt}, {kLevelColumn, std::nullopt}};
        for (const FieldInfo& field : allFields()) {
            // As many texts as the kind with the most of them has.
            std::size_t most = 0;
            for (const ProblemKind& kind : problemKinds())
                most = std::max(most, kind.countOf(field.field));
            for (std::size_t i = 0; i < most; ++i)
                all.push_back({std::string(field.elementName) + (field.isList ? std::to_string(i + 1) : ""),
                               TextPlace{field.field, i}});
        }
        return all;
    }();
    return columns;
}

const QuizColumn* quizColumnNamed(std::string_view name)
{
    for (const QuizColumn& column : quizColumns())
        if (column.name == name)
            return &column;
    return nullptr;
}

std::vector<std::string> tableColumnNames()
{
    std::vector<std::string> names;
    for (const QuizColumn& column : quizColumns())
        names.push_back(column.name);
    return names;
}

std::vector<TableRow> rowsOfProblem(const ProblemBase& problem)
{
    std::vector<TableRow> rows;
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return rows;
    rows.push_back(rowOf(problem, *kind, kMainElementName));
    for (const ProblemPtr& branch : problem.getBranches())
        rows.push_back(rowOf(*branch, *kind, kSubElementName));
    return rows;
}

ImportedProblems problemsFromRows(TableRowSource& rows)
{
    ImportedProblems imported;
    if (!rows.next(imported.names)) {
        imported.findings.push_back({0, "", "列名の行がありません"});
        return imported;
    }
    const Header header = readHeader(imported.names, rows.unreadableNames(), imported.findings);
    if (!header.kind) {
        // Read to the end all the same: what the rows hold is told too.
        for (TableRow rest; rows.next(rest);) {
        }
        return imported;
    }
    RowReader reader(header, imported.findings, imported.notices);
    std::size_t number = 1;
    for (TableRow row; rows.next(row);) {
        ++number;
        if (!isEmptyRow(row))
            reader.read(row, number);
    }
    imported.problems = std::move(reader.problems);
    return imported;
}
