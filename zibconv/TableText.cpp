#include "zibconv/TableText.h"

namespace {

class TableParser {
public:
    TableParser(std::string_view source, char separatorChar) : text(source), separator(separatorChar) {}

    ParsedTable parse()
    {
        ParsedTable table;
        while (pos < text.size()) {
            TableRow row;
            // Rows are as wide as the first, mostly: room for that many
            // cells at once, where doubling would leave a third unused.
            row.reserve(table.rows.empty() ? 0 : table.rows.front().size());
            const bool closed = readRow(row);
            if (!closed) {
                table.unclosedQuoteRow = table.rows.size() + 1;
                break;
            }
            table.rows.push_back(std::move(row));
        }
        return table;
    }

private:
    // False when a quoted cell of the row never closes.
    bool readRow(TableRow& row)
    {
        for (;;) {
            std::string cell;
            if (pos < text.size() && text[pos] == '"') {
                if (!readQuoted(cell))
                    return false;
            }
            readPlain(cell);
            row.push_back(std::move(cell));
            if (pos == text.size())
                return true;
            if (text[pos] == separator) {
                ++pos;
                continue;
            }
            skipLineBreak();
            return true;
        }
    }

    // Up to the closing quote; a doubled quote is one quote.
    bool readQuoted(std::string& cell)
    {
        ++pos;
        for (;;) {
            const std::size_t special = text.find_first_of("\"\r\n", pos);
            if (special == std::string_view::npos)
                return false;
            cell.append(text.substr(pos, special - pos));
            pos = special;
            if (text[pos] == '"') {
                if (pos + 1 < text.size() && text[pos + 1] == '"') {
                    cell += '"';
                    pos += 2;
                    continue;
                }
                ++pos;
                return true;
            }
            skipLineBreak();
            cell += "\r\n";
        }
    }

    // Up to the separator or the line break; after a closing quote, what
    // stands before them belongs to the cell too, as spreadsheets read it.
    void readPlain(std::string& cell)
    {
        const char stops[] = {separator, '\r', '\n', '\0'};
        std::size_t end = text.find_first_of(std::string_view(stops, 3), pos);
        if (end == std::string_view::npos)
            end = text.size();
        cell.append(text.substr(pos, end - pos));
        pos = end;
    }

    void skipLineBreak()
    {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
            ++pos;
        ++pos;
    }

    std::string_view text;
    char separator;
    std::size_t pos = 0;
};

} // namespace

ParsedTable parseTable(std::string_view text, char separator)
{
    return TableParser(text, separator).parse();
}

bool needsQuotes(std::string_view cell, char separator)
{
    for (char c : cell)
        if (c == separator || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

std::string writeTable(const std::vector<TableRow>& rows, char separator)
{
    std::string out;
    writeRows(rows, separator, [&out](std::string_view piece) { out += piece; });
    return out;
}
