// CSV and TSV as text: what a spreadsheet writes is read back cell for cell.
#include "WholeTables.h"
#include "zibconv/tables/TableText.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<TableRow>;

TEST(TableText, CellsAreQuotedWhenAndOnlyWhenTheyHoldASpecialCharacter)
{
    const Rows rows{{"plain", "a,b", "say \"hi\"", "two\r\nlines", "tab\there", ""}};
    EXPECT_EQ(writeTable(rows, ','), "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",tab\there,\r\n");
    EXPECT_EQ(writeTable(rows, '\t'), "plain\ta,b\t\"say \"\"hi\"\"\"\t\"two\r\nlines\"\t\"tab\there\"\t\r\n");
    EXPECT_EQ(writeTable({{"a"}, {"b"}}, ','), "a\r\nb\r\n");
}

TEST(TableText, WhatIsWrittenIsReadBack)
{
    const Rows rows{{"kind", "question"}, {"ox", "a,b \"c\"\r\n\r\nd\te"}, {"", ""}, {"四択", "表"}};
    for (char separator : {',', '\t'}) {
        SCOPED_TRACE(separator);
        const ParsedTable parsed = parseTable(writeTable(rows, separator), separator);
        EXPECT_EQ(parsed.rows, rows);
        EXPECT_FALSE(parsed.unclosedQuoteRow);
    }
}

TEST(TableText, EveryFormOfLineBreakEndsARowAndIsCrLfInsideACell)
{
    const ParsedTable parsed = parseTable("a,\"1\n2\r3\r\n4\"\nb,x\rc,y\r\nd,z", ',');
    EXPECT_EQ(parsed.rows, (Rows{{"a", "1\r\n2\r\n3\r\n4"}, {"b", "x"}, {"c", "y"}, {"d", "z"}}));
}

TEST(TableText, QuotesOutsideAQuotedStartAreCharacters)
{
    EXPECT_EQ(parseTable("ab\"c,\"x\"y,\"\"\r\n", ',').rows, (Rows{{"ab\"c", "xy", ""}}));
}

TEST(TableText, EmptyLinesAreRowsOfOneEmptyCellAndTheLastLineBreakStartsNone)
{
    EXPECT_EQ(parseTable("a\r\n\r\nb\r\n", ',').rows, (Rows{{"a"}, {""}, {"b"}}));
    EXPECT_TRUE(parseTable("", ',').rows.empty());
}

// Shift-JIS trail bytes lie above the separators and the quote: a table of
// Shift-JIS bytes splits at the same places.
TEST(TableText, ShiftJisCellsSplitWhereTheirCharactersEnd)
{
    const std::string table = "\x95\x5c,\x83\x5c\t\"\x8b\x40\"\r\n"; // 表,ソ<TAB>"機"
    EXPECT_EQ(parseTable(table, ',').rows, (Rows{{"\x95\x5c", "\x83\x5c\t\"\x8b\x40\""}}));
    EXPECT_EQ(parseTable(table, '\t').rows, (Rows{{"\x95\x5c,\x83\x5c", "\x8b\x40"}}));
}

TEST(TableText, AQuoteLeftOpenNamesTheRowWhereItsCellBegan)
{
    const ParsedTable parsed = parseTable("a,b\r\nc,\"open\r\nd,e\r\n", ',');
    EXPECT_EQ(parsed.unclosedQuoteRow, 2u);
    EXPECT_EQ(parsed.rows, (Rows{{"a", "b"}}));
}

} // namespace
