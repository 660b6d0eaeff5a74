#include "zibconv/workbooks/WorkbookWriter.h"

#include "files/FileIO.h"
#include "files/RecordedTime.h"
#include "text/LineBreaks.h"
#include "text/ShiftJisToUtf8.h"
#include "files/TemporaryFile.h"
#include "zibconv/tables/QuizTable.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const char kSheetName[] = "quiz";

// Widths in characters, by the quiz column the name is: a question is read
// whole at 60, a choice at 24; kind, level, a panel or a reel holds a word
// or a character.
double widthOf(const std::string& columnName)
{
    const QuizColumn* column = quizColumnNamed(columnName);
    if (!column)
        return 24;
    if (!column->text)
        return 10;
    switch (column->text->field) {
    case Field::Question: return 60;
    case Field::Panel:
    case Field::Reel: return 10;
    case Field::Answer:
    case Field::Dummy:
    case Field::Hint: return 24;
    }
    return 24;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A workbook's strings write a character as "_xHHHH_", and a reader turns
// every such run into its character: a text that holds one literally has
// its underscore written as "_x005F_". libxlsxwriter escapes only the
// control characters this way.
std::string escapedRuns(std::string utf8)
{
    for (std::size_t at = utf8.find("_x"); at != std::string::npos; at = utf8.find("_x", at + 1)) {
        if (at + 7 > utf8.size() || utf8[at + 6] != '_' ||
            !std::all_of(utf8.begin() + static_cast<std::ptrdiff_t>(at) + 2,
                         utf8.begin() + static_cast<std::ptrdiff_t>(at) + 6, isHexDigit))
            continue;
        utf8.insert(at, "_x005F");
        at += 6;
    }
    return utf8;
}

} // namespace

struct WorkbookParts {
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* text = nullptr;
};

WorkbookWriter::WorkbookWriter(WorkFile work) : file(std::move(work)), parts(std::make_unique<WorkbookParts>())
{
    // Rows go to a temporary file beside the workbook as they come, so
    // that a large set is never held whole.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    parts->workbook = workbook_new_opt(file.libraryPath.c_str(), &options);
    if (!parts->workbook) {
        failed = true;
        return;
    }
    lxw_doc_properties properties{};
    properties.created = recordedTime();
    workbook_set_properties(parts->workbook, &properties);
    parts->sheet = workbook_add_worksheet(parts->workbook, kSheetName);
    parts->text = workbook_add_format(parts->workbook);
    failed = !parts->sheet || !parts->text;
    if (failed)
        return;
    format_set_num_format_index(parts->text, 49); // "@", text
    format_set_text_wrap(parts->text);
    format_set_align(parts->text, LXW_ALIGN_VERTICAL_TOP);
    worksheet_freeze_panes(parts->sheet, 1, 0);
}

WorkbookWriter::~WorkbookWriter()
{
    if (parts->workbook) {
        workbook_close(parts->workbook);
        removeFile(file.path);
    }
}

bool WorkbookWriter::append(const std::vector<TableRow>& rows)
{
    for (const TableRow& row : rows) {
        if (failed)
            return false;
        // The column names' row sets the columns, before any cell is written.
        if (nextRow == 0)
            for (std::size_t c = 0; c < row.size(); ++c)
                worksheet_set_column(parts->sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                     widthOf(row[c]), parts->text);
        for (std::size_t c = 0; c < row.size() && !failed; ++c) {
            // An empty cell is not written: its column's format is text.
            if (row[c].empty())
                continue;
            std::string utf8;
            const bool converted = row[c].find('\r') == std::string::npos
                                       ? appendShiftJisAsUtf8(row[c], utf8)
                                       : appendShiftJisAsUtf8(crLfAsLineFeeds(row[c]), utf8);
            if (!converted) {
                failed = true;
                break;
            }
            utf8 = escapedRuns(std::move(utf8));
            const lxw_row_t at = static_cast<lxw_row_t>(nextRow);
            const lxw_col_t column = static_cast<lxw_col_t>(c);
            failed = worksheet_write_string(parts->sheet, at, column, utf8.c_str(), parts->text) != LXW_NO_ERROR;
        }
        ++nextRow;
    }
    return !failed;
}

std::optional<std::string> WorkbookWriter::finish()
{
    if (!parts->workbook)
        return std::nullopt;
    const lxw_error closed = workbook_close(parts->workbook);
    parts->workbook = nullptr;
    std::optional<std::string> bytes;
    if (!failed && closed == LXW_NO_ERROR)
        bytes = readFileBytes(file.path);
    removeFile(file.path);
    return bytes;
}
