// A group of the same problems, however large, in every kind: check's text
// report names a few of its problems, the JSON every one once, and the page
// tells it once with one short note on each other problem, so that each
// output grows with the set alone.
#include "model/ProblemKinds.h"
#include "model/SetCounts.h"
#include "review/ContentReview.h"
#include "zibconv/check/CheckReport.h"
#include "zibconv/check/JsonReport.h"
#include "zibconv/page/PageWriter.h"

#include "QuizTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

ProblemList groupOf(const ProblemKind& kind, std::size_t size)
{
    ProblemList problems;
    for (std::size_t n = 0; n < size; ++n)
        problems.push_back(kind.create(groupMember(kind.tag, n)));
    return problems;
}

struct Outputs {
    std::size_t findings;
    std::string text;
    std::string json;
    std::string page;
};

Outputs outputsOf(const ProblemList& problems)
{
    CheckedSet set;
    set.counts = countsOf(problems);
    const std::vector<ContentFinding> findings = reviewContent(problems);
    std::string text;
    for (const std::string& line : textReport(set, findings))
        text += line + "\n";
    return {findings.size(), text, jsonReport(set, findings), setPage("set.xml", problems, findings)};
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// An output's size without its digits: numbers grow longer with the set
// as they must, and only what grows with more than their count matters.
std::size_t sizeBesideDigits(const std::string& output)
{
    return output.size() - static_cast<std::size_t>(std::count_if(output.begin(), output.end(),
                                                                   [](char c) { return c >= '0' && c <= '9'; }));
}

} // namespace

// Doubling a group at most doubles each output, whatever the kind.
TEST(GroupReport, EachOutputGrowsLinearlyWithTheGroup)
{
    for (const ProblemKind& kind : problemKinds()) {
        SCOPED_TRACE(kind.elementName);
        const Outputs small = outputsOf(groupOf(kind, 1000));
        const Outputs large = outputsOf(groupOf(kind, 2000));
        ASSERT_EQ(small.findings, 1u);
        ASSERT_EQ(large.findings, 1u);
        EXPECT_LE(sizeBesideDigits(large.text), 2 * sizeBesideDigits(small.text));
        EXPECT_LE(sizeBesideDigits(large.json), 2 * sizeBesideDigits(small.json));
        EXPECT_LE(sizeBesideDigits(large.page), 2 * sizeBesideDigits(small.page));
    }
}

// In a group of 1,000 and of 10,000: the text report's line names ten
// problems and counts the rest; the JSON lists each problem once; the page
// tells the group on its first line and links each other line to it.
TEST(GroupReport, AGroupIsToldOnceInEachOutput)
{
    for (const ProblemKind& kind : problemKinds()) {
        for (const std::size_t size : {1000u, 10000u}) {
            SCOPED_TRACE(std::string(kind.elementName) + " " + std::to_string(size));
            const Outputs out = outputsOf(groupOf(kind, size));
            EXPECT_EQ(occurrences(out.text, "、問題 "), 9u);
            EXPECT_NE(out.text.find(" ほか " + std::to_string(size - 10) + " 問\n"), std::string::npos);
            EXPECT_EQ(occurrences(out.json, "{\"problem\":"), size + 1); // the finding, then each problem
            EXPECT_EQ(occurrences(out.json, "\"same\":"), 1u);
            EXPECT_EQ(occurrences(out.page, "class=\"note\""), size);
            EXPECT_EQ(occurrences(out.page, "<a href=\"#line-1\">1</a> "), size - 1);
            EXPECT_EQ(occurrences(out.page, "<a href=\"#line-"), 10 + size - 1);
        }
    }
}
