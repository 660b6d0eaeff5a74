// How each problem plays, as the review decides it for check and the page
// alike: by its kind where its texts allow, otherwise by revealing the
// answer, with the folded texts the play compares.
#include "review/PlayVerdict.h"

#include "model/ProblemFields.h"
#include "review/TextFolding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

PlayVerdict verdictOf(int kind, TextList texts)
{
    return playVerdict(*createProblem(kind, std::move(texts)));
}

std::u32string folded(const std::string& shiftJis)
{
    return foldedForComparison(codePointsOf(shiftJis));
}

struct Case {
    int kind;
    TextList texts;
    PlayMode mode;
    Fallback fallback;
};

} // namespace

TEST(PlayVerdict, EachKindPlaysAsItsTextsAllowOrRevealsTheAnswer)
{
    const Case cases[] = {
        {OX, {"q", "ｏ"}, PlayMode::Choice, Fallback::None},
        {OX, {"q", " × "}, PlayMode::Choice, Fallback::None},
        {OX, {"q", "ⅹ"}, PlayMode::Reveal, Fallback::NotCircleOrCross},
        {OX, {"q", "　"}, PlayMode::Reveal, Fallback::BlankAnswer},
        {YONTAKU, {"q", "A", " ", "B", " "}, PlayMode::Choice, Fallback::None},
        {YONTAKU, {"q", "A", " ", "\r\n", "　"}, PlayMode::Reveal, Fallback::NoWrongChoice},
        {RENSOU, {"h", "h", "h", "h", "A", "B", "C", "D"}, PlayMode::Choice, Fallback::None},
        {NARABEKAE, {"q", "ｶﾞｽ"}, PlayMode::Tiles, Fallback::None},
        {NARABEKAE, {"q", " "}, PlayMode::Reveal, Fallback::BlankAnswer},
        {PANEL, {"q", "ABC", "C", "AB"}, PlayMode::Tiles, Fallback::None},
        {PANEL, {"q", "1", "①"}, PlayMode::Reveal, Fallback::PanelsCannotSpell},
        {PANEL, {"q", "A", " "}, PlayMode::Reveal, Fallback::NoPanels},
        {SLOT, {"q", "ｶﾞA", "ガx", " ", "yＡ"}, PlayMode::Reels, Fallback::None},
        {SLOT, {"q", "AB", "A"}, PlayMode::Reveal, Fallback::ReelCount},
        {SLOT, {"q", "AB", "A", "C"}, PlayMode::Reveal, Fallback::ReelLacksCharacter},
        {SLOT, {"q", "A", " "}, PlayMode::Reveal, Fallback::NoReels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texts[1]);
        const PlayVerdict verdict = verdictOf(c.kind, c.texts);
        EXPECT_EQ(verdict.mode, c.mode);
        EXPECT_EQ(verdict.fallback, c.fallback);
    }
}

TEST(PlayVerdict, GivesThePiecesAndTheFoldedTextsTheyAreComparedBy)
{
    const PlayVerdict ox = verdictOf(OX, {"q", "Ｏ"});
    EXPECT_EQ(ox.answer, U"○");
    ASSERT_EQ(ox.pieces.size(), 2u);
    EXPECT_TRUE(ox.inOrder);

    // The answer first, then the non-blank wrong choices; one folds to it.
    const PlayVerdict four = verdictOf(YONTAKU, {"q", " ＡＢ", " ", "AB", "ab"});
    EXPECT_EQ(four.answer, U"AB");
    ASSERT_EQ(four.pieces.size(), 3u);
    EXPECT_EQ(four.pieces[0].shown, U" ＡＢ");
    EXPECT_EQ(four.pieces[1].folded, four.answer);
    EXPECT_EQ(four.pieces[2].folded, U"ab");

    const PlayVerdict panel = verdictOf(PANEL, {"q", "パネル", "x", "ﾙ", " ", "パネ"});
    ASSERT_EQ(panel.pieces.size(), 3u);
    EXPECT_EQ(panel.pieces[1].shown, U"ﾙ");
    EXPECT_EQ(panel.pieces[1].folded, U"ル");

    const PlayVerdict slot = verdictOf(SLOT, {"q", "ｶﾞA", "カｶﾞガ", " ", "ＡAB"});
    EXPECT_EQ(slot.answer, U"ガA");
    EXPECT_EQ(slot.reels, (std::vector<std::vector<std::u32string>>{{U"カ", U"ガ"}, {U"A", U"B"}}));

    // A reel lacks a character that is only part of one of its characters.
    const PlayVerdict mark = verdictOf(SLOT, {"q", "ﾞB", "Aﾞ", "B"});
    EXPECT_EQ(mark.fallback, Fallback::ReelLacksCharacter);
    ASSERT_EQ(mark.lacking.size(), 1u);
    EXPECT_EQ(mark.lacking[0].position, 0u);
    EXPECT_EQ(mark.lacking[0].text, 2u);
}

// A rearrangement's tiles are its characters as written; folded one by one
// and put together in the answer's order, they are the folded answer.
TEST(PlayVerdict, RearrangementTilesFoldTogetherAsTheAnswer)
{
    const std::string parts[] = {"ｶ", "ﾞ", "ﾟ", "ﾊ", "Ａ", "a", "①", "㈱", " ", "　", "ア", "\r\n", "う", "ｳ"};
    std::mt19937 chance(7);
    for (int n = 0; n < 2000; ++n) {
        std::string answer;
        for (std::size_t k = 1 + chance() % 6; k > 0; --k)
            answer += parts[chance() % std::size(parts)];
        SCOPED_TRACE(answer);
        const PlayVerdict verdict = verdictOf(NARABEKAE, {"q", answer});
        if (isBlankText(answer)) {
            EXPECT_EQ(verdict.fallback, Fallback::BlankAnswer);
            continue;
        }
        std::u32string together;
        std::u32string shown;
        for (const PlayPiece& piece : verdict.pieces) {
            together += piece.folded;
            shown += piece.shown;
        }
        EXPECT_EQ(together, folded(answer));
        EXPECT_EQ(verdict.answer, folded(answer));
        EXPECT_EQ(shown, trimmedText(codePointsOf(answer)));
    }
}
