#include "text/LineBreaks.h"
#include "text/ReplaceAll.h"
#include "text/ShiftJis.h"
#include "xml/XMLNodes.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

std::vector<std::string> namesOf(const XMLNodesList& nodes)
{
    std::vector<std::string> names;
    for (const XMLNodesPtr& node : nodes)
        names.push_back(node->getName());
    return names;
}

TEST(XMLNodes, ChildrenAreAppendedInCallAndListOrder)
{
    XMLNodesPtr parent = makeXMLNodes("p");
    EXPECT_TRUE(parent->getChildren().empty());
    EXPECT_EQ(parent->getText(), "");

    parent->addChildren({});
    EXPECT_TRUE(parent->getChildren().empty());
    parent->addChildren({makeXMLNodes("a")});
    parent->addChildren({makeXMLNodes("b"), makeXMLNodes("c", "t")});
    EXPECT_EQ(namesOf(parent->getChildren()), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(parent->getChildren()[2]->getText(), "t");
}

TEST(XMLNodes, TheGettersReturnCopies)
{
    static_assert(std::is_same_v<decltype(std::declval<const XMLNodes&>().getChildren()), XMLNodesList>);
    static_assert(std::is_same_v<decltype(std::declval<const XMLNodes&>().getName()), std::string>);
    static_assert(std::is_same_v<decltype(std::declval<const XMLNodes&>().getText()), std::string>);
}

TEST(XMLNodes, AChildOutlivesItsReleasedRoot)
{
    XMLNodesPtr root = makeXMLNodes("root");
    XMLNodesPtr child = makeXMLNodes("child");
    child->addChildren({makeXMLNodes("#text", "x")});
    root->addChildren({child});
    std::weak_ptr<XMLNodes> watch = root;
    root.reset();
    EXPECT_TRUE(watch.expired());
    ASSERT_EQ(child->getChildren().size(), 1u);
    EXPECT_EQ(child->getChildren()[0]->getText(), "x");
}

// Nodes share memory blocks: a block must stay while any node of it lives,
// and new nodes must never land on live ones.
TEST(XMLNodes, SurvivorsOfManyReleasedNodesKeepTheirContents)
{
    std::vector<XMLNodesPtr> kept;
    for (int round = 0; round < 3; ++round) {
        XMLNodesList nodes;
        for (int i = 0; i < 20000; ++i)
            nodes.push_back(makeXMLNodes("n", "text number " + std::to_string(round) + "-" + std::to_string(i)));
        for (int i = 0; i < 20000; i += 4999)
            kept.push_back(nodes[i]);
    }
    ASSERT_EQ(kept.size(), 15u);
    for (int round = 0; round < 3; ++round)
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(kept[round * 5 + k]->getText(),
                      "text number " + std::to_string(round) + "-" + std::to_string(k * 4999));
}

TEST(XMLNodes, ATreeBuiltOnOneThreadIsReleasedOnAnother)
{
    XMLNodesPtr root;
    std::thread builder([&] {
        root = makeXMLNodes("root");
        XMLNodesList children;
        for (int i = 0; i < 5000; ++i)
            children.push_back(makeXMLNodes("#text", std::to_string(i)));
        root->addChildren(std::move(children));
    });
    builder.join();
    ASSERT_EQ(root->getChildren().size(), 5000u);
    EXPECT_EQ(root->getChildren()[4999]->getText(), "4999");
    std::thread releaser([tree = std::move(root)]() mutable { tree.reset(); });
    releaser.join();
    EXPECT_EQ(makeXMLNodes("after", "x")->getText(), "x");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceWithoutSearchingTheReplacement)
{
    EXPECT_EQ(replaceAll("a\nb\n", "\n", "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(replaceAll("a\r\nb", "\n", "\r\n"), "a\r\r\nb");
    EXPECT_EQ(replaceAll("\n\n", "\n", "\r\n"), "\r\n\r\n");
    EXPECT_EQ(replaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaceAll("xabcabx", "ab", ""), "xcx");
}

TEST(ReplaceAll, LeavesTextWithoutThePatternAlone)
{
    EXPECT_EQ(replaceAll("abc", "\n", "\r\n"), "abc");
    EXPECT_EQ(replaceAll("", "\n", "\r\n"), "");
    // Matching is by bytes: 0x5C inside a Shift-JIS character matches too.
    EXPECT_EQ(replaceAll("\x95\x5C", "\x5C", "/"), "\x95/");
}

TEST(ReplaceAll, AnEmptyPatternChangesNothing)
{
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(replaceAll("", "", "x"), "");
}

// A text cut at a byte count ends before the character cut in two; a trail
// byte in the lead byte range does not start a character.
TEST(ShiftJis, ACutTextKeepsOnlyWholeCharacters)
{
    const std::string nichi = "日"; // 0x93 0xFA
    std::string days;
    for (int i = 0; i < 20000; ++i)
        days += nichi;
    EXPECT_EQ(lengthOfWholeCharacters(std::string_view(days).substr(0, 32767)), 32766u);
    EXPECT_EQ(lengthOfWholeCharacters(std::string_view("x" + days).substr(0, 32767)), 32767u);
    EXPECT_EQ(lengthOfWholeCharacters("\x81\x81\x81"), 2u); // one double-byte character, then a lone lead byte
    EXPECT_EQ(lengthOfWholeCharacters("a\xb1\x81"), 2u);     // half-width katakana is one byte
    EXPECT_EQ(lengthOfWholeCharacters(""), 0u);
    EXPECT_EQ(lengthOfWholeCharacters("\x93"), 0u);
}

// The editor and tables hold CR LF, XML texts and spreadsheet cells LF.
TEST(LineBreaks, EachFormAsTheOtherNeedsIt)
{
    const struct {
        const char* text;
        const char* asCrLf;     // from an XML text
        const char* asLineFeed; // for a spreadsheet's cell
        const char* anyAsCrLf;  // from a spreadsheet's cell
    } cases[] = {
        {"", "", "", ""},
        {"a\nb", "a\r\nb", "a\nb", "a\r\nb"},
        {"a\r\nb", "a\r\r\nb", "a\nb", "a\r\nb"},
        {"a\rb", "a\rb", "a\rb", "a\r\nb"},
        {"\n\r\r\n\n", "\r\n\r\r\r\n\r\n", "\n\r\n\n", "\r\n\r\n\r\n\r\n"},
        {"\x95\x5C\n", "\x95\x5C\r\n", "\x95\x5C\n", "\x95\x5C\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lineFeedsAsCrLf(c.text), c.asCrLf);
        EXPECT_EQ(crLfAsLineFeeds(c.text), c.asLineFeed);
        EXPECT_EQ(anyBreaksAsCrLf(c.text), c.anyAsCrLf);
    }
}

} // namespace
