#include "OpenedTable.h"

#include "model/ProblemKinds.h"
#include "zibconv/tables/QuizTable.h"

#include <algorithm>
#include <map>
#include <string>

namespace {

bool isBlankCell(const std::string& cell)
{
    return cell.find_first_not_of(" \t\r\n") == std::string::npos;
}

// The cell of the named column, empty when it is blank or absent.
std::string cellOf(const TableRow& names, const TableRow& row, const std::string& name)
{
    const auto found = std::find(names.begin(), names.end(), name);
    const auto column = static_cast<std::size_t>(found - names.begin());
    if (found == names.end() || column >= row.size() || isBlankCell(row[column]))
        return {};
    return row[column];
}

const ProblemKind* kindNamed(const std::string& name)
{
    const ProblemKind* kind = kindOfElement(name);
    return kind ? kind : kindOfComboText(name);
}

} // namespace

std::vector<TableRow> tableAsOpened(const std::vector<TableRow>& rows)
{
    const TableRow& names = rows.front();
    std::vector<TableRow> opened{tableColumnNames()};
    const ProblemKind* parentKind = nullptr;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const TableRow& row = rows[r];
        if (std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); }))
            continue;
        const bool isBranch = cellOf(names, row, "level") == "sub";
        const std::string kindName = cellOf(names, row, "kind");
        const ProblemKind* kind = isBranch && kindName.empty() ? parentKind : kindNamed(kindName);
        if (!isBranch)
            parentKind = kind;
        std::map<std::string, std::string> cells;
        for (const FieldInfo& field : allFields()) {
            if (!field.isList) {
                cells[field.elementName] = cellOf(names, row, field.elementName);
                continue;
            }
            std::vector<std::string> filled;
            for (std::size_t i = 0; kind->positionOf(field.field, i); ++i)
                if (std::string cell = cellOf(names, row, field.elementName + std::to_string(i + 1)); !cell.empty())
                    filled.push_back(std::move(cell));
            for (std::size_t i = 0; i < filled.size(); ++i)
                cells[field.elementName + std::to_string(i + 1)] = filled[i];
        }
        TableRow expected{kind->elementName, isBranch ? "sub" : "main"};
        for (std::size_t c = 2; c < opened.front().size(); ++c)
            expected.push_back(cells[opened.front()[c]]);
        opened.push_back(std::move(expected));
    }
    return opened;
}

std::set<std::size_t> rowsOpenedOtherwise(const std::vector<TableRow>& rows)
{
    const std::vector<TableRow> opened = tableAsOpened(rows);
    const TableRow& names = rows.front();
    std::set<std::size_t> changed;
    std::size_t o = 1;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const TableRow& row = rows[r];
        if (std::all_of(row.begin(), row.end(), [](const std::string& cell) { return cell.empty(); }))
            continue;
        for (std::size_t c = 0; c < names.size() && c < row.size(); ++c) {
            const auto at = std::find(opened.front().begin(), opened.front().end(), names[c]);
            if (names[c] != "kind" && names[c] != "level" && at != opened.front().end() &&
                row[c] != opened[o][static_cast<std::size_t>(at - opened.front().begin())])
                changed.insert(r + 1);
        }
        ++o;
    }
    return changed;
}
