#include "model/Problem.h"

#include <gtest/gtest.h>

#include <tuple>
#include <type_traits>

namespace {

const TextList kThree{"a", "b", "c"};

TEST(ProblemPadding, ListsArePaddedWithEmptyStringsToTheirMinimums)
{
    EXPECT_EQ(ProblemYontaku(YONTAKU, "q", "a", {}).getDummies(), TextList(3));
    EXPECT_EQ(ProblemPanel(PANEL, "q", "a", kThree).getPanels(),
              (TextList{"a", "b", "c", "", "", "", "", "", "", ""}));
    EXPECT_EQ(ProblemSlot(SLOT, "q", "a", {}).getReels(), TextList(6));

    ProblemRensou shortLists(RENSOU, {"h1", "h2"}, "a", {"d1"});
    EXPECT_EQ(shortLists.getHints(), (TextList{"h1", "h2", "", ""}));
    EXPECT_EQ(shortLists.getDummies(), (TextList{"d1", "", ""}));

    ProblemRensou fullHints(RENSOU, {"1", "2", "3", "4"}, "a", {});
    EXPECT_EQ(fullHints.getHints(), (TextList{"1", "2", "3", "4"}));
    EXPECT_EQ(fullHints.getDummies(), TextList(3));
}

TEST(ProblemPadding, LongerListsAreKeptWhole)
{
    const TextList five{"1", "2", "3", "4", "5"};
    EXPECT_EQ(ProblemYontaku(YONTAKU, "q", "a", five).getDummies(), five);
    const TextList twelve(12, "p");
    EXPECT_EQ(ProblemPanel(PANEL, "q", "a", twelve).getPanels(), twelve);
}

TEST(ProblemContents, SetContentsReplacesEveryTextAndPadsTheNewLists)
{
    ProblemYontaku problem(YONTAKU, "q", "a", {"1", "2", "3", "4", "5"});
    problem.setContents("q2", "a2", {"x"});
    EXPECT_EQ(problem.getQuestion(), "q2");
    EXPECT_EQ(problem.getAnswer(), "a2");
    EXPECT_EQ(problem.getDummies(), (TextList{"x", "", ""}));

    ProblemRensou rensou(RENSOU, {"1", "2", "3", "4", "5"}, "a", kThree);
    rensou.setContents({}, "b", {});
    EXPECT_EQ(rensou.getHints(), TextList(4));
    EXPECT_EQ(rensou.getAnswer(), "b");
    EXPECT_EQ(rensou.getDummies(), TextList(3));
}

TEST(ProblemContents, SetContentsKeepsKindTagAndBranches)
{
    auto parent = std::make_shared<ProblemOX>(OX, "q", "a");
    auto branch = std::make_shared<ProblemOX>(OX, "bq", "ba");
    parent->addBranch(branch);
    parent->setContents("new", "answer");
    EXPECT_EQ(parent->type, OX);
    ASSERT_EQ(parent->getBranches().size(), 1u);
    EXPECT_EQ(parent->getBranches()[0], branch);
}

// Every getter hands out a copy, never a reference into the problem.
TEST(ProblemContents, GettersReturnCopies)
{
    static_assert(std::is_same_v<decltype(std::declval<const ProblemOX&>().getQuestion()), std::string>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemNarabekae&>().getAnswer()), std::string>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemYontaku&>().getDummies()), TextList>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemRensou&>().getHints()), TextList>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemPanel&>().getPanels()), TextList>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemSlot&>().getReels()), TextList>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemBase&>().getBranches()), ProblemRefs>);
    static_assert(std::is_same_v<decltype(std::declval<const ProblemSlot&>().contents()),
                                 std::tuple<std::string, std::string, TextList>>);
}

TEST(ProblemContents, TextsAreKeptByteForByte)
{
    const std::string twoLines = "一行目\r\n二行目";
    ProblemNarabekae problem(NARABEKAE, twoLines, "");
    EXPECT_EQ(problem.getQuestion(), twoLines);
    EXPECT_EQ(problem.getAnswer(), "");
}

TEST(ProblemBranches, GetBranchesIsACopySharingTheBranchObjects)
{
    auto parent = std::make_shared<ProblemYontaku>(YONTAKU, "q", "a", TextList{});
    EXPECT_TRUE(parent->getBranches().empty());

    auto branch = std::make_shared<ProblemYontaku>(YONTAKU, "b", "a", TextList{});
    parent->addBranch(branch);

    // A change through the returned reference reaches the branch itself.
    static_cast<ProblemYontaku&>(*parent->getBranches()[0]).setContents("changed", "a", {});
    EXPECT_EQ(branch->getQuestion(), "changed");
}

TEST(ProblemBranches, BranchesKeepTheirOrderAndMayRepeat)
{
    auto parent = std::make_shared<ProblemOX>(OX, "p", "a");
    auto first = std::make_shared<ProblemOX>(OX, "1", "a");
    auto second = std::make_shared<ProblemOX>(OX, "2", "a");
    parent->addBranch(first);
    parent->addBranch(second);
    parent->addBranch(first);
    EXPECT_EQ(parent->getBranches(), (ProblemRefs{first, second, first}));
}

TEST(ProblemSharing, ABranchHeldOnlyByItsParentDiesWithIt)
{
    auto parent = std::make_shared<ProblemOX>(OX, "p", "a");
    std::weak_ptr<ProblemBase> watched;
    {
        auto branch = std::make_shared<ProblemOX>(OX, "b", "a");
        watched = branch;
        parent->addBranch(branch);
    }
    EXPECT_FALSE(watched.expired());
    parent.reset();
    EXPECT_TRUE(watched.expired());
}

TEST(ProblemSharing, ABranchOfTwoParentsLivesUntilBothRelease)
{
    auto first = std::make_shared<ProblemOX>(OX, "1", "a");
    auto second = std::make_shared<ProblemOX>(OX, "2", "a");
    std::weak_ptr<ProblemBase> watched;
    {
        auto branch = std::make_shared<ProblemOX>(OX, "b", "a");
        watched = branch;
        first->addBranch(branch);
        second->addBranch(branch);
    }
    first.reset();
    EXPECT_FALSE(watched.expired());
    second.reset();
    EXPECT_TRUE(watched.expired());
}

TEST(ProblemKinds, TheTagIsTakenAsGivenAndKeepsItsValues)
{
    // Also the combobox positions: fixed when it compiles.
    static_assert(OX == 0 && YONTAKU == 1 && RENSOU == 2 && NARABEKAE == 3 && PANEL == 4 && SLOT == 5);
    // The constructors do not check the tag: the editor passes the combobox index.
    EXPECT_EQ(ProblemOX(7, "q", "a").type, 7);
}

} // namespace
