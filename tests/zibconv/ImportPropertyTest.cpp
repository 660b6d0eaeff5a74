// Import writes only what Open reads back: over generated tables, with
// their columns in any order, blank and whitespace-only cells, list gaps,
// branches and rows that import refuses, every table import accepts gives
// a quiz file that check reads without a loss and that export turns into
// the table as import's notices said Open would read it, cell for cell.
#include "WholeTables.h"
#include "OpenedTable.h"
#include "TestFiles.h"

#include "document/ProblemListFile.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "zibconv/check/CheckReport.h"
#include "zibconv/tables/ExportTable.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

// Cells: empty, blank in every way a spreadsheet gives it, texts with
// spaces and line breaks around them, what XML and tables treat specially.
const char* const kCells[] = {
    "",   "",    "",     " ",  "\t", "\r\n", "  \r\n\t", "a",     " a", "a\r\n", "日本", "＆<>\"',",
    "　", "x y", "\xB1", "ｶﾞ", "0",  "007",  "=SUM(A1)", "\x87\x54",
};

class TableMaker {
public:
    explicit TableMaker(unsigned seed) : random(seed) {}

    std::vector<TableRow> make()
    {
        TableRow names = tableColumnNames();
        std::shuffle(names.begin() + 1, names.end(), random);
        names.resize(2 + static_cast<std::size_t>(pick(static_cast<int>(names.size()) - 1)));
        std::shuffle(names.begin(), names.end(), random);
        std::vector<TableRow> rows{names};
        const ProblemKind* parent = nullptr;
        for (int r = pick(12); r > 0; --r) {
            const bool isBranch = parent && pick(3) == 0;
            const ProblemKind& kind = isBranch ? *parent : problemKinds()[static_cast<std::size_t>(pick(6))];
            if (!isBranch)
                parent = &kind;
            TableRow row;
            for (const std::string& name : names)
                row.push_back(cellFor(name, kind, isBranch));
            rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }

    std::string cellFor(const std::string& name, const ProblemKind& kind, bool isBranch)
    {
        if (name == "kind")
            return isBranch && pick(2) == 0 ? "" : pick(2) == 0 ? kind.elementName : kind.comboText;
        if (name == "level")
            return isBranch ? "sub" : pick(2) == 0 ? "main" : "";
        // Now and then a text where the kind has no such field: refused.
        if (!hasColumn(kind, name) && pick(40) != 0)
            return "";
        return kCells[pick(static_cast<int>(std::size(kCells)))];
    }

    static bool hasColumn(const ProblemKind& kind, const std::string& name)
    {
        for (const FieldInfo& field : allFields())
            for (std::size_t i = 0; kind.positionOf(field.field, i); ++i)
                if (name == (field.isList ? field.elementName + std::to_string(i + 1) : std::string(field.elementName)))
                    return true;
        return false;
    }

    std::mt19937 random;
};

class ImportProperty : public ::testing::Test {
protected:
    void TearDown() override { problemList.clear(); }

    TestFolder folder;
    const std::string quizFile = folder.path("imported.xml");
};

TEST_F(ImportProperty, WhatImportAcceptsOpenReadsBackAsItsNoticesSay)
{
    int accepted = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::vector<TableRow> generated = TableMaker(seed).make();
        const std::string bytes = encodeTable(generated, ',', TableEncoding::Utf8).value();
        const DecodedTable table = decodeTable(bytes, ',', std::nullopt);
        ASSERT_TRUE(table.findings.empty());
        ImportedProblems imported = problemsFromRows(table.rows, table.unreadableNames);
        if (!imported.findings.empty())
            continue;
        ++accepted;
        const std::vector<TableRow> opened = tableAsOpened(table.rows);

        // Each notice is a cell or a row that Open reads otherwise, and
        // each such row has one.
        std::set<std::size_t> noticed;
        for (const TableFinding& notice : imported.notices)
            noticed.insert(notice.row);
        EXPECT_EQ(noticed, rowsOpenedOtherwise(table.rows));

        problemList = std::move(imported.problems);
        ASSERT_TRUE(saveProblemList(quizFile));
        const std::optional<CheckedSet> checked = checkQuizFile(quizFile);
        ASSERT_TRUE(checked);
        EXPECT_TRUE(checked->losses.empty()) << checked->losses.front().text;
        const std::optional<ExportedTable> exported = exportQuizFile(quizFile, ',', TableEncoding::Utf8);
        ASSERT_TRUE(exported && exported->bytes);
        EXPECT_EQ(decodeTable(*exported->bytes, ',', std::nullopt).rows, opened);
    }
    // The generator must give both: accepted tables and refused ones.
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 300);
}

} // namespace
