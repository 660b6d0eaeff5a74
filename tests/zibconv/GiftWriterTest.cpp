// A set as GIFT: every kind as the question Moodle has for it, or as a
// short answer where the review's verdict cannot play it, texts escaped for
// GIFT and for HTML in one place each, and the file's frame (categories,
// titles, blank lines). tests/gift parses what zibconv writes with a GIFT
// parser of its own.
#include "QuizTestSupport.h"

#include "model/ProblemKinds.h"
#include "zibconv/gift/GiftWriter.h"

#include <gtest/gtest.h>

namespace {

std::string utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

ProblemPtr problemOf(int kind, TextList texts)
{
    return findKind(kind)->create(std::move(texts));
}

// The one question a problem becomes, without its title.
std::string questionOf(const ProblemPtr& problem)
{
    const std::optional<std::string> gift = giftOf("set", {problem});
    if (!gift)
        return "(no GIFT)";
    const std::string head = "$CATEGORY: set/1\n\n::1::";
    if (!gift->starts_with(head) || !gift->ends_with("\n"))
        return "(no frame) " + *gift;
    return gift->substr(head.size(), gift->size() - head.size() - 1);
}

Fallback fallbackOf(const ProblemPtr& problem)
{
    GiftWriter writer("set");
    EXPECT_TRUE(writer.add(*problem));
    return writer.fallbacks().empty() ? Fallback::None : writer.fallbacks().front().why;
}

struct GiftCase {
    const char* what;
    int kind;
    TextList texts;
    std::u8string_view question;
    Fallback fallback;
};

const std::string B = " "; // a blank text, as the editor stores it

const GiftCase kCases[] = {
    {"ox ○", OX, {"空は青い", "○"}, u8"[html]空は青い{T}", Fallback::None},
    {"ox full-width o", OX, {"q", "ｏ"}, u8"[html]q{T}", Fallback::None},
    {"ox ×", OX, {"q", "×"}, u8"[html]q{F}", Fallback::None},
    {"ox X", OX, {"q", " X "}, u8"[html]q{F}", Fallback::None},
    {"ox neither", OX, {"q", "はい"}, u8"[html]q{=はい}", Fallback::NotCircleOrCross},
    {"ox blank answer", OX, {"q", B}, u8"[html]q{}", Fallback::BlankAnswer},
    {"ox blank question, no format", OX, {"\r\n", "○"}, u8"{T}", Fallback::None},
    {"four-choice", YONTAKU, {"q", "a", "b", "c", "d"}, u8"[html]q{=a ~b ~c ~d}", Fallback::None},
    {"four-choice, blanks left out", YONTAKU, {"q", "a", B, "\r\n", "d"}, u8"[html]q{=a ~d}", Fallback::None},
    {"four-choice, no wrong choice", YONTAKU, {"q", "a", B, B, B}, u8"[html]q{=a}", Fallback::NoWrongChoice},
    {"four-choice, blank answer", YONTAKU, {"q", B, "b", "c", "d"}, u8"[html]q{}", Fallback::BlankAnswer},
    {"association", RENSOU, {"h1", "h2", "h3", "h4", "a", "b", "c", "d"},
     u8"[html]<ol><li>h1</li><li>h2</li><li>h3</li><li>h4</li></ol>{=a ~b ~c ~d}", Fallback::None},
    {"association, blank hint", RENSOU, {"h1", B, "h3", "h4", "a", B, "c", B},
     u8"[html]<ol><li>h1</li><li></li><li>h3</li><li>h4</li></ol>{=a ~c}", Fallback::None},
    {"association, no wrong choice", RENSOU, {"h1", "h2", "h3", "h4", "a", B, B, B},
     u8"[html]<ol><li>h1</li><li>h2</li><li>h3</li><li>h4</li></ol>{=a}", Fallback::NoWrongChoice},
    {"rearrangement, characters in code point order", NARABEKAE, {"並べて", "ウイア"},
     u8"[html]並べて<ul><li>ア</li><li>イ</li><li>ウ</li></ul>{=ウイア}", Fallback::None},
    {"rearrangement, voiced half-width kana one tile", NARABEKAE, {"q", "ｶﾞｱ"},
     u8"[html]q<ul><li>ｱ</li><li>ｶﾞ</li></ul>{=ｶﾞｱ}", Fallback::None},
    {"rearrangement, blank answer", NARABEKAE, {"q", B}, u8"[html]q{}", Fallback::BlankAnswer},
    {"panel", PANEL, {"q", "パネル", "ル", "パ", B, "ネ", B, B, B, B, B, B},
     u8"[html]q<ul><li>ネ</li><li>パ</li><li>ル</li></ul>{=パネル}", Fallback::None},
    {"panel that cannot spell", PANEL, {"q", "ABC", "A", "B", B, B, B, B, B, B, B, B}, u8"[html]q{=ABC}",
     Fallback::PanelsCannotSpell},
    {"panel without panels", PANEL, {"q", "a\r\nb", B, B, B, B, B, B, B, B, B, B}, u8"[html]q{=a\\nb}",
     Fallback::NoPanels},
    {"slot", SLOT, {"q", "アイ", "アカ", B, "イキ", B, B, B},
     u8"[html]q<ul><li>リール 1\\: アカ</li><li>リール 3\\: イキ</li></ul>{=アイ}", Fallback::None},
    {"slot, reel count", SLOT, {"q", "アイウ", "アカ", "イキ", B, B, B, B}, u8"[html]q{=アイウ}", Fallback::ReelCount},
    {"slot, reel lacks", SLOT, {"q", "アイ", "アカ", "カキ", B, B, B, B}, u8"[html]q{=アイ}",
     Fallback::ReelLacksCharacter},
    {"slot, no reels", SLOT, {"q", "アイ", B, B, B, B, B, B}, u8"[html]q{=アイ}", Fallback::NoReels},
    // Hostile texts: GIFT's characters escaped, HTML's as references in
    // what Moodle shows as HTML, a short answer plain.
    {"GIFT's characters", YONTAKU, {"{=~#:}\\", "=a", "~b", "#c", "}d"},
     u8"[html]\\{\\=\\~\\#\\:\\}\\\\{=\\=a ~\\~b ~\\#c ~\\}d}", Fallback::None},
    {"HTML in a question", OX, {"<b>&amp;]]></b>", "○"}, u8"[html]&lt;b&gt;&amp;amp;]]&gt;&lt;/b&gt;{T}",
     Fallback::None},
    {"HTML in choices", YONTAKU, {"q", "<b>", "&amp;", "]]>", "<!--"},
     u8"[html]q{=&lt;b&gt; ~&amp;amp; ~]]&gt; ~&lt;!--}", Fallback::None},
    {"HTML in a short answer", OX, {"q", "<b>&amp;{=~#:}\\"}, u8"[html]q{=<b>&amp;\\{\\=\\~\\#\\:\\}\\\\}",
     Fallback::NotCircleOrCross},
    {"line breaks", YONTAKU, {"a\r\nb\rc\nd", "x\r\ny", "z", B, B}, u8"[html]a<br>b<br>c<br>d{=x<br>y ~z}",
     Fallback::None},
    // Moodle reads a leading %n% as a weight and [name] as a format.
    {"weight and format in choices", YONTAKU, {"q", "%50%a", " [html]b", B, B},
     u8"[html]q{=&\\#37;50%a ~&\\#91;html]b}", Fallback::None},
    {"weight in a short answer", OX, {"q", "%5%"}, u8"[html]q{=%100%%5%}", Fallback::NotCircleOrCross},
    {"format in a short answer", OX, {"q", "[plain]z"}, u8"[html]q{=[plain][plain]z}", Fallback::NotCircleOrCross},
    // The CP932 characters with no single Unicode reading, as the table
    // export maps them: ～ U+FF5E, － U+FF0D, ∥ U+2225.
    {"wave dash, minus, parallel", YONTAKU, {"\x81\x60\x81\x7C\x81\x61", "\x81\x60", "\x81\x7C", "\x81\x61", B},
     u8"[html]\uFF5E\uFF0D\u2225{=\uFF5E ~\uFF0D ~\u2225}", Fallback::None},
};

} // namespace

TEST(GiftWriter, EachKindAndEachFallbackAsItsQuestion)
{
    for (const GiftCase& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(questionOf(problemOf(c.kind, c.texts)), utf8(c.question));
        EXPECT_EQ(fallbackOf(problemOf(c.kind, c.texts)), c.fallback);
    }
}

// Categories by top-level problem, lines numbered as the page numbers them
// (branches counted), one blank line between questions, LF alone, no mark.
TEST(GiftWriter, CategoriesTitlesAndBlankLines)
{
    ProblemPtr first = problemOf(OX, {"q1", "○"});
    first->addBranch(problemOf(OX, {"q2", "×"}));
    first->addBranch(problemOf(YONTAKU, {"q3", "a", "b", B, B}));
    ProblemPtr second = problemOf(NARABEKAE, {"q4", "アイ"});
    second->addBranch(problemOf(YONTAKU, {"q5", "a", B, B, B}));
    const std::optional<std::string> gift = giftOf(utf8(u8"クイズ集"), {first, second});
    ASSERT_TRUE(gift);
    EXPECT_EQ(*gift, utf8(u8"$CATEGORY: クイズ集/1\n\n"
                          u8"::1::[html]q1{T}\n\n"
                          u8"::2::[html]q2{F}\n\n"
                          u8"::3::[html]q3{=a ~b}\n\n"
                          u8"$CATEGORY: クイズ集/4\n\n"
                          u8"::4::[html]q4<ul><li>ア</li><li>イ</li></ul>{=アイ}\n\n"
                          u8"::5::[html]q5{=a}\n"));
    EXPECT_EQ(giftOf("set", {}), std::string());
}

// The lines that fell back, with their places, and the kinds GIFT has no
// question for.
TEST(GiftWriter, TellsFallbacksAndShortAnswerKinds)
{
    ProblemPtr first = problemOf(YONTAKU, {"q", "a", B, B, B});
    first->addBranch(problemOf(OX, {"q", B}));
    ProblemPtr second = problemOf(SLOT, {"q", "ア", "ア", B, B, B, B, B});
    ProblemPtr third = problemOf(PANEL, {"q", "ア", "イ", B, B, B, B, B, B, B, B, B});
    GiftWriter writer("set");
    for (const ProblemPtr& problem : {first, second, third})
        ASSERT_TRUE(writer.add(*problem));
    const std::vector<FallenLine>& fallen = writer.fallbacks();
    ASSERT_EQ(fallen.size(), 3u);
    EXPECT_EQ(fallen[0].line, 1u);
    EXPECT_EQ(fallen[0].place, (ProblemPlace{1, 0}));
    EXPECT_EQ(fallen[0].kind->tag, YONTAKU);
    EXPECT_EQ(fallen[1].line, 2u);
    EXPECT_EQ(fallen[1].place, (ProblemPlace{1, 1}));
    EXPECT_EQ(fallen[1].why, Fallback::BlankAnswer);
    EXPECT_EQ(fallen[2].line, 4u);
    EXPECT_EQ(fallen[2].why, Fallback::PanelsCannotSpell);
    const std::vector<const ProblemKind*> kinds = writer.shortAnswerKinds();
    ASSERT_EQ(kinds.size(), 2u);
    EXPECT_EQ(kinds[0]->tag, PANEL);
    EXPECT_EQ(kinds[1]->tag, SLOT);
    EXPECT_FALSE(isOnlyShortAnswer(*findKind(OX)));
    EXPECT_TRUE(isOnlyShortAnswer(*findKind(NARABEKAE)));
}

// A long text is written whole; a text that is no Shift-JIS writes nothing.
TEST(GiftWriter, LongTextsWholeAndBrokenTextsRefused)
{
    std::string longText;
    for (int i = 0; i < 20000; ++i)
        longText += "長";
    const std::string question = questionOf(problemOf(OX, {longText, "○"}));
    EXPECT_EQ(question.size(), std::string("[html]{T}").size() + 20000 * 3);
    EXPECT_TRUE(question.starts_with("[html]" + utf8(u8"長長")));
    EXPECT_FALSE(giftOf("set", {problemOf(OX, {"q", "○"}), problemOf(YONTAKU, {"q", "a", "x\x81", B, B})}));
    GiftWriter writer("set");
    EXPECT_FALSE(writer.add(*problemOf(OX, {"\x81", "○"})));
    EXPECT_TRUE(writer.bytes().empty());
}
