// Texts as the review compares them: width folded as NFKC folds it, voiced
// marks combined, surrounding spaces dropped, letter case kept.
#include "review/TextFolding.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFolding, FoldsWhatAReaderCannotTellApart)
{
    const struct {
        const char* shiftJis;
        std::u32string folded;
    } cases[] = {
        {"ＡＢＣ", U"ABC"},
        {"ABC", U"ABC"},
        {"ａｂｃ１２３", U"abc123"},
        {"！？（）＃", U"!?()#"},
        {"ｶﾅ", U"カナ"},
        {"カナ", U"カナ"},
        {"ｶﾞｷﾞｸﾞ", U"ガギグ"},
        {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", U"パピプペポ"},
        {"ﾂﾞﾄﾞｳﾞﾜﾞｦﾞ", U"ヅドヴヷヺ"},
        {"ｧｨｩｪｫｬｭｮｯｰ", U"ァィゥェォャュョッー"},
        {"｡｢｣､･", U"。「」、・"},
        {"ｱﾞﾅﾟ", U"ア\u3099ナ\u309A"}, // no precomposed form: the combining mark, as NFKC
        {"うﾞゝﾞヽﾞ", U"ゔゞヾ"},
        {"ﾞ", U"\u3099"},
        {"答え　", U"答え"},
        {"　 答え \r\n", U"答え"},
        {"東　京", U"東 京"},
        {"\t", U""},
        {"", U""},
        {"abc", U"abc"},
        {"ガ゛", U"ガ゛"}, // the spacing mark is a character of its own
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shiftJis);
        EXPECT_EQ(foldedText(c.shiftJis), c.folded);
    }
    EXPECT_NE(foldedText("ＡＢＣ"), foldedText("abc"));
}

// Every half-width kana of the K, S, T and H rows takes the voiced mark and
// becomes the next code point; the H row takes the semi-voiced one too.
TEST(TextFolding, EveryHalfWidthKanaWithItsMarkIsThePrecomposedKana)
{
    for (char32_t c = U'ｶ'; c <= U'ﾎ'; ++c) {
        const std::u32string base = foldedForComparison(std::u32string(1, c));
        if (c >= U'ﾅ' && c <= U'ﾉ')
            continue;
        SCOPED_TRACE(static_cast<unsigned>(c));
        EXPECT_EQ(foldedForComparison(std::u32string{c, U'ﾞ'}), std::u32string(1, base[0] + 1));
        if (c >= U'ﾊ')
            EXPECT_EQ(foldedForComparison(std::u32string{c, U'ﾟ'}), std::u32string(1, base[0] + 2));
        else
            EXPECT_EQ(foldedForComparison(std::u32string{c, U'ﾟ'}).size(), 2u);
    }
}

TEST(TextFolding, BytesThatAreNoShiftJisStandForThemselves)
{
    EXPECT_EQ(codePointsOf("a\x81"), (std::u32string{U'a', 0x81}));
    EXPECT_EQ(codePointsOf("東"), U"東");
}

TEST(TextFolding, BlankIsNothingButSpacesAndLineBreaks)
{
    for (const char* blank : {"", " ", "　", " \r\n\t　 "})
        EXPECT_TRUE(isBlankText(blank)) << blank;
    for (const char* shown : {"a", " 　x", "\x81", "\x81\x41", "・", "ﾞ"})
        EXPECT_FALSE(isBlankText(shown)) << shown;
}

TEST(TextFolding, ACharacterKeepsItsCombiningMarks)
{
    using Characters = std::vector<std::u32string_view>;
    EXPECT_EQ(charactersOf(U"ア\u3099イ"), (Characters{U"ア\u3099", U"イ"}));
    const std::u32string folded = foldedText("ｶﾞｷ");
    EXPECT_EQ(charactersOf(folded), (Characters{U"ガ", U"キ"}));
    EXPECT_EQ(charactersOf(U"\u3099a"), (Characters{U"\u3099", U"a"}));
    EXPECT_EQ(charactersOf(U"e\u0301\u0302x"), (Characters{U"e\u0301\u0302", U"x"}));
    EXPECT_TRUE(charactersOf(U"").empty());
}

} // namespace
