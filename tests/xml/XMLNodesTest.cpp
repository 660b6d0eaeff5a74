#include "xml/ReplaceAll.h"
#include "xml/XMLNodes.h"

#include <gtest/gtest.h>

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

TEST(XMLNodes, TheReturnedChildListIsACopy)
{
    XMLNodesPtr parent = makeXMLNodes("p");
    parent->addChildren({makeXMLNodes("a")});
    XMLNodesList copy = parent->getChildren();
    copy.push_back(makeXMLNodes("b"));
    copy.clear();
    EXPECT_EQ(namesOf(parent->getChildren()), (std::vector<std::string>{"a"}));
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

} // namespace
