#include "zibconv/tables/TableTypes.h"

std::string placeOf(const TableFinding& finding)
{
    if (!finding.cell.empty())
        return finding.cell + (finding.column.empty() ? "" : " " + finding.column + " 列") + ": ";
    if (finding.row == 0)
        return "";
    std::string place = std::to_string(finding.row) + " 行目";
    if (!finding.column.empty())
        place += " " + finding.column + " 列";
    else if (finding.columnNumber != 0)
        place += " " + std::to_string(finding.columnNumber) + " 列目";
    return place + ": ";
}
