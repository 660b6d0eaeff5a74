#include "zibconv/tables/TableText.h"

#include <utility>

HeldRows::HeldRows(std::vector<TableRow> all, std::vector<std::size_t> unreadableNames)
    : rows(std::move(all)), unreadable(std::move(unreadableNames))
{
}

bool HeldRows::next(TableRow& row)
{
    if (given == rows.size())
        return false;
    row.swap(rows[given]);
    TableRow().swap(rows[given]);
    ++given;
    return true;
}

TableRowParser::TableRowParser(std::string_view source, char separatorChar) : text(source), separator(separatorChar) {}

bool TableRowParser::next(TableRow& row)
{
    row.clear();
    if (pos >= text.size() || unclosed)
        return false;
    // Rows are as wide as the first, mostly: room for that many cells at
    // once, where doubling would leave a third unused.
    row.reserve(firstWidth);
    ++rowNumber;
    if (!readRow(row)) {
        unclosed = rowNumber;
        row.clear();
        return false;
    }
    if (rowNumber == 1)
        firstWidth = row.size();
    return true;
}

bool TableRowParser::readRow(TableRow& row)
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

bool TableRowParser::readQuoted(std::string& cell)
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

void TableRowParser::readPlain(std::string& cell)
{
    const char stops[] = {separator, '\r', '\n', '\0'};
    std::size_t end = text.find_first_of(std::string_view(stops, 3), pos);
    if (end == std::string_view::npos)
        end = text.size();
    cell.append(text.substr(pos, end - pos));
    pos = end;
}

void TableRowParser::skipLineBreak()
{
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
        ++pos;
    ++pos;
}

bool needsQuotes(std::string_view cell, char separator)
{
    for (char c : cell)
        if (c == separator || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}
