// The cells a spreadsheet retypes when it opens a CSV, as measured with
// Calc's standard import (Excel behaves alike), and texts it keeps.
#include "zibconv/tables/RetypedCells.h"

#include <gtest/gtest.h>

namespace {

class CollectingSink : public RowSink {
public:
    bool append(const std::vector<TableRow>& more) override
    {
        rows.insert(rows.end(), more.begin(), more.end());
        return true;
    }
    std::optional<std::string> finish() override { return "done"; }
    std::vector<TableRow> rows;
};

TEST(RetypedCells, WhatASpreadsheetRetypes)
{
    for (const char* text : {"007", "0120", "3/4", "2024/1/2", "2024-01-02", "12345678901234567890", "=SUM(A1)",
                             "+81", "(123)", "１２３４", "00:30", "12:30:45", "-5", "@home", "1e5", "0.5", ".5",
                             "1,234", "50%", "TRUE", "false", "#N/A", "#DIV/0!"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(spreadsheetWouldRetype(text));
    }
    for (const char* text : {"", "abc", "日本", "3月4日", "1/2/3/4", "12a", "a1", "１２３４円", "(a)", "T", "Truth",
                             "第1問", " 007", "1 2", "#1", "#NA"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(spreadsheetWouldRetype(text));
    }
}

TEST(RetypedCells, TheCounterPassesRowsOnAndKeepsTheFirstPlaces)
{
    auto inner = std::make_unique<CollectingSink>();
    CollectingSink& collected = *inner;
    RetypeCounter counter(std::move(inner));
    const std::vector<TableRow> rows{{"kind", "question", "answer"}, {"ox", "007", "a"}, {"ox", "q", "3/4"},
                                     {"ox", "=1", "+1"}, {"ox", "1", "2"}, {"ox", "3", "x"}};
    EXPECT_TRUE(counter.append(rows));
    EXPECT_EQ(counter.finish(), "done");
    EXPECT_EQ(collected.rows, rows);
    EXPECT_EQ(counter.count, 7u);
    ASSERT_EQ(counter.first.size(), RetypeCounter::kPlacesKept);
    EXPECT_EQ(counter.first[0].row, 2u);
    EXPECT_EQ(counter.first[0].column, "question");
    EXPECT_EQ(counter.first[1].row, 3u);
    EXPECT_EQ(counter.first[1].column, "answer");
}

} // namespace
