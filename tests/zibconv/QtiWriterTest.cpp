// A set as QTI 2.1: every kind as the interaction it plays as, or as a text
// entry where the review's verdict cannot play it, texts escaped for XML
// in one place, the right responses written out in each item, identifiers
// from line numbers, the test's sections and the manifest, and the zip.
// tests/qti validates the package against the IMS schemas and plays it in
// a QTI player written elsewhere.
#include "QuizTestSupport.h"

#include "model/ProblemKinds.h"
#include "zibconv/zip/ZipWriter.h"
#include "zibconv/qti/QtiWriter.h"

#include <minizip/ioapi.h>
#include <minizip/unzip.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>

namespace {

std::string utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

ProblemPtr problemOf(int kind, TextList texts)
{
    return findKind(kind)->create(std::move(texts));
}

std::string between(const std::string& text, std::string_view from, std::string_view to)
{
    const std::size_t start = text.find(from);
    if (start == std::string::npos)
        return "(no " + std::string(from) + ")";
    const std::size_t end = text.find(to, start + from.size());
    if (end == std::string::npos)
        return "(no " + std::string(to) + ")";
    return text.substr(start + from.size(), end - start - from.size());
}

// What an item says of its line: its body, its responses and what scores.
struct ItemParts {
    std::string body;
    std::string responses;
    std::string processing;
};

ItemParts partsOf(const ProblemPtr& problem)
{
    const std::optional<std::string> item = qtiItemOf(*problem, 1);
    if (!item)
        return {"(no item)", "", ""};
    ItemParts parts{between(*item, "<itemBody>\n", "</itemBody>"), "",
                    between(*item, "<responseProcessing>", "</responseProcessing>")};
    for (std::size_t at = item->find("<responseDeclaration"); at != std::string::npos;
         at = item->find("<responseDeclaration", at + 1))
        parts.responses += item->substr(at, item->find(">\n", at) + 1 - at);
    return parts;
}

Fallback fallbackOf(const ProblemPtr& problem)
{
    QtiWriter writer("set", [](QtiFile&&) { return true; });
    EXPECT_TRUE(writer.add(*problem));
    return writer.fallbacks().empty() ? Fallback::None : writer.fallbacks().front().why;
}

const std::string B = " "; // a blank text, as the editor stores it

// The responses' declarations, shortened.
std::string single(std::string_view value, std::string_view baseType = "identifier")
{
    return "<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"" + std::string(baseType) +
           "\"><correctResponse><value>" + std::string(value) + "</value></correctResponse></responseDeclaration>";
}

const std::string kMatch = "<match><variable identifier=\"RESPONSE\"/><correct identifier=\"RESPONSE\"/></match>";

std::string scoring(const std::string& condition)
{
    return "<responseCondition><responseIf>" + condition +
           "<setOutcomeValue identifier=\"SCORE\"><baseValue baseType=\"float\">1</baseValue></setOutcomeValue>"
           "</responseIf><responseElse><setOutcomeValue identifier=\"SCORE\"><baseValue baseType=\"float\">0"
           "</baseValue></setOutcomeValue></responseElse></responseCondition>";
}

struct QtiCase {
    const char* what;
    int kind;
    TextList texts;
    std::u8string_view body;
    std::u8string_view responses;
    Fallback fallback;
};

const std::u8string_view kOx = u8"<choiceInteraction responseIdentifier=\"RESPONSE\" shuffle=\"false\" maxChoices=\"1\">"
                               u8"<simpleChoice identifier=\"choice-1\">○</simpleChoice>"
                               u8"<simpleChoice identifier=\"choice-2\">×</simpleChoice></choiceInteraction>\n";

#define OX_BODY(question) u8"<p>" question u8"</p>\n<choiceInteraction responseIdentifier=\"RESPONSE\" shuffle=\"false\" maxChoices=\"1\"><simpleChoice identifier=\"choice-1\">○</simpleChoice><simpleChoice identifier=\"choice-2\">×</simpleChoice></choiceInteraction>\n"
#define SINGLE(value) u8"<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"identifier\"><correctResponse><value>" value u8"</value></correctResponse></responseDeclaration>"
#define TEXT(value) u8"<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"string\"><correctResponse><value>" value u8"</value></correctResponse></responseDeclaration>"
#define ENTRY u8"<p><textEntryInteraction responseIdentifier=\"RESPONSE\"/></p>\n"
#define CHOICES(list) u8"<choiceInteraction responseIdentifier=\"RESPONSE\" shuffle=\"true\" maxChoices=\"1\">" list u8"</choiceInteraction>\n"
#define C(n, text) u8"<simpleChoice identifier=\"choice-" #n u8"\">" text u8"</simpleChoice>"

const QtiCase kCases[] = {
    {"ox ○", OX, {"空は青い", "○"}, OX_BODY(u8"空は青い"), SINGLE(u8"choice-1"), Fallback::None},
    {"ox full-width o", OX, {"q", "ｏ"}, OX_BODY(u8"q"), SINGLE(u8"choice-1"), Fallback::None},
    {"ox X", OX, {"q", " X "}, OX_BODY(u8"q"), SINGLE(u8"choice-2"), Fallback::None},
    {"ox neither", OX, {"q", "はい"}, u8"<p>q</p>\n" ENTRY, TEXT(u8"はい"), Fallback::NotCircleOrCross},
    {"ox blank answer: no correct response", OX, {"q", B}, u8"<p>q</p>\n" ENTRY,
     u8"<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"string\"/>",
     Fallback::BlankAnswer},
    {"ox blank question, no paragraph", OX, {"\r\n", "○"}, kOx, SINGLE(u8"choice-1"), Fallback::None},
    {"four-choice, listed by text", YONTAKU, {"q", "b", "d", "a", "c"},
     u8"<p>q</p>\n" CHOICES(C(1, u8"a") C(2, u8"b") C(3, u8"c") C(4, u8"d")), SINGLE(u8"choice-2"), Fallback::None},
    {"four-choice, blanks left out", YONTAKU, {"q", "a", B, "\r\n", "d"},
     u8"<p>q</p>\n" CHOICES(C(1, u8"a") C(2, u8"d")), SINGLE(u8"choice-1"), Fallback::None},
    {"four-choice, no wrong choice", YONTAKU, {"q", "a", B, B, B}, u8"<p>q</p>\n" ENTRY, TEXT(u8"a"),
     Fallback::NoWrongChoice},
    {"four-choice, blank answer", YONTAKU, {"q", B, "b", "c", "d"}, u8"<p>q</p>\n" ENTRY,
     u8"<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"string\"/>",
     Fallback::BlankAnswer},
    {"association, hints in a list", RENSOU, {"h1", "h2", "h3", "h4", "a", "b", "c", "d"},
     u8"<ol><li>h1</li><li>h2</li><li>h3</li><li>h4</li></ol>\n" CHOICES(C(1, u8"a") C(2, u8"b") C(3, u8"c") C(4, u8"d")),
     SINGLE(u8"choice-1"), Fallback::None},
    {"association, blank hint keeps its place", RENSOU, {"h1", B, "h3", "h4", "z", B, "c", B},
     u8"<ol><li>h1</li><li></li><li>h3</li><li>h4</li></ol>\n" CHOICES(C(1, u8"c") C(2, u8"z")), SINGLE(u8"choice-2"),
     Fallback::None},
    {"association, no wrong choice", RENSOU, {"h1", "h2", "h3", "h4", "a", B, B, B},
     u8"<ol><li>h1</li><li>h2</li><li>h3</li><li>h4</li></ol>\n" ENTRY, TEXT(u8"a"), Fallback::NoWrongChoice},
    {"rearrangement blank answer", NARABEKAE, {"q", B}, u8"<p>q</p>\n" ENTRY,
     u8"<responseDeclaration identifier=\"RESPONSE\" cardinality=\"single\" baseType=\"string\"/>",
     Fallback::BlankAnswer},
    {"panel that cannot spell", PANEL, {"q", "ABC", "A", "B", B, B, B, B, B, B, B, B}, u8"<p>q</p>\n" ENTRY,
     TEXT(u8"ABC"), Fallback::PanelsCannotSpell},
    {"panel without panels", PANEL, {"q", "ab", B, B, B, B, B, B, B, B, B, B}, u8"<p>q</p>\n" ENTRY, TEXT(u8"ab"),
     Fallback::NoPanels},
    {"slot, reel count", SLOT, {"q", "アイウ", "アカ", "イキ", B, B, B, B}, u8"<p>q</p>\n" ENTRY, TEXT(u8"アイウ"),
     Fallback::ReelCount},
    {"slot, reel lacks", SLOT, {"q", "アイ", "アカ", "カキ", B, B, B, B}, u8"<p>q</p>\n" ENTRY, TEXT(u8"アイ"),
     Fallback::ReelLacksCharacter},
    {"slot, no reels", SLOT, {"q", "アイ", B, B, B, B, B, B}, u8"<p>q</p>\n" ENTRY, TEXT(u8"アイ"), Fallback::NoReels},
    // Hostile texts: XML's characters as references, the rest as typed.
    {"HTML in a question", OX, {"<b>&amp;]]></b>", "○"}, OX_BODY(u8"&lt;b&gt;&amp;amp;]]&gt;&lt;/b&gt;"),
     SINGLE(u8"choice-1"), Fallback::None},
    {"HTML and GIFT's characters in choices", YONTAKU, {"{=~#:}\\", "<b>", "&amp;", "]]>", "\"'"},
     u8"<p>{=~#:}\\</p>\n" CHOICES(C(1, u8"&quot;'") C(2, u8"&amp;amp;") C(3, u8"&lt;b&gt;") C(4, u8"]]&gt;")),
     SINGLE(u8"choice-3"), Fallback::None},
    {"hostile text entry", OX, {"q", "<b>&amp;]]>{=~#:}\\"}, u8"<p>q</p>\n" ENTRY,
     TEXT(u8"&lt;b&gt;&amp;amp;]]&gt;{=~#:}\\"), Fallback::NotCircleOrCross},
    {"line breaks as <br/>", YONTAKU, {"a\r\nb\rc\nd", "x\r\ny", "z", B, B},
     u8"<p>a<br/>b<br/>c<br/>d</p>\n" CHOICES(C(1, u8"x<br/>y") C(2, u8"z")), SINGLE(u8"choice-1"), Fallback::None},
    {"a text entry keeps its breaks and spaces", OX, {"q", " a\r\nb "}, u8"<p>q</p>\n" ENTRY, TEXT(u8" a&#13;\nb "),
     Fallback::NotCircleOrCross},
    // The CP932 characters with no single Unicode reading, as the table
    // export maps them: ～ U+FF5E, － U+FF0D, ∥ U+2225.
    {"wave dash, minus, parallel", YONTAKU, {"\x81\x60\x81\x7C\x81\x61", "\x81\x60", "\x81\x7C", "\x81\x61", B},
     u8"<p>\uFF5E\uFF0D\u2225</p>\n" CHOICES(C(1, u8"\u2225") C(2, u8"\uFF0D") C(3, u8"\uFF5E")), SINGLE(u8"choice-3"),
     Fallback::None},
};

} // namespace

TEST(QtiWriter, EachKindAndEachFallbackAsItsInteraction)
{
    for (const QtiCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const ItemParts parts = partsOf(problemOf(c.kind, c.texts));
        EXPECT_EQ(parts.body, utf8(c.body));
        EXPECT_EQ(parts.responses, utf8(c.responses));
        EXPECT_EQ(fallbackOf(problemOf(c.kind, c.texts)), c.fallback);
        // Every item scores itself: 1 when the response is the correct one,
        // else 0; a blank answer's always 0.
        if (c.fallback == Fallback::BlankAnswer) {
            EXPECT_EQ(parts.processing, "<setOutcomeValue identifier=\"SCORE\"><baseValue baseType=\"float\">0"
                                        "</baseValue></setOutcomeValue>");
        } else {
            EXPECT_EQ(parts.processing, scoring(kMatch));
        }
    }
}

// A wrong choice that folds as the answer does is right too, as on the page
// (choices listed by their UTF-8: A, b, Ａ).
TEST(QtiWriter, EveryChoiceEqualToTheAnswerIsRight)
{
    const ItemParts parts = partsOf(problemOf(YONTAKU, {"q", "Ａ", "A", "b", B}));
    EXPECT_EQ(parts.responses, single("choice-1"));
    EXPECT_EQ(parts.processing, scoring("<member><variable identifier=\"RESPONSE\"/><multiple>"
                                        "<baseValue baseType=\"identifier\">choice-1</baseValue>"
                                        "<baseValue baseType=\"identifier\">choice-3</baseValue></multiple></member>"));
}

std::string member(int place, std::initializer_list<const char*> ids)
{
    std::string out = "<member><index n=\"" + std::to_string(place) +
                      "\"><variable identifier=\"RESPONSE\"/></index><multiple>";
    for (const char* id : ids)
        out += std::string("<baseValue baseType=\"identifier\">") + id + "</baseValue>";
    return out + "</multiple></member>";
}

std::string sized(int count)
{
    return "<match><containerSize><variable identifier=\"RESPONSE\"/></containerSize><baseValue "
           "baseType=\"integer\">" +
           std::to_string(count) + "</baseValue></match>";
}

// A rearrangement's characters in the order of their code points; the
// answer spelled in any order of its repeated characters: at each place any
// tile of that character, as many tiles as the answer has.
TEST(QtiWriter, RearrangementTakesRepeatedCharactersInAnyOrder)
{
    const ItemParts parts = partsOf(problemOf(NARABEKAE, {"並べて", "イアイ"}));
    EXPECT_EQ(parts.body, utf8(u8"<p>並べて</p>\n<orderInteraction responseIdentifier=\"RESPONSE\" shuffle=\"true\">"
                               u8"<simpleChoice identifier=\"tile-1\">ア</simpleChoice>"
                               u8"<simpleChoice identifier=\"tile-2\">イ</simpleChoice>"
                               u8"<simpleChoice identifier=\"tile-3\">イ</simpleChoice></orderInteraction>\n"));
    EXPECT_EQ(parts.responses, "<responseDeclaration identifier=\"RESPONSE\" cardinality=\"ordered\" "
                               "baseType=\"identifier\"><correctResponse><value>tile-2</value><value>tile-1</value>"
                               "<value>tile-3</value></correctResponse></responseDeclaration>");
    EXPECT_EQ(parts.processing, scoring("<and>" + sized(3) + member(1, {"tile-2", "tile-3"}) + member(2, {"tile-1"}) +
                                        member(3, {"tile-2", "tile-3"}) + "</and>"));
    // No tile can take another's place: the correct order is the one right
    // order, and the item says so plainly.
    EXPECT_EQ(partsOf(problemOf(NARABEKAE, {"q", "イア"})).processing, scoring(kMatch));
    EXPECT_EQ(partsOf(problemOf(PANEL, {"q", "イア", "ア", "イ", "ウ", B, B, B, B, B, B, B})).processing, scoring(kMatch));
    // Half-width kana with its voicing mark is one tile.
    EXPECT_EQ(partsOf(problemOf(NARABEKAE, {"q", "ｶﾞｱ"})).body,
              utf8(u8"<p>q</p>\n<orderInteraction responseIdentifier=\"RESPONSE\" shuffle=\"true\">"
                   u8"<simpleChoice identifier=\"tile-1\">ｱ</simpleChoice>"
                   u8"<simpleChoice identifier=\"tile-2\">ｶﾞ</simpleChoice></orderInteraction>\n"));
}

// Panels: every way of spelling the answer from the non-blank panels is
// right, however many panels it takes; the others need not be placed.
TEST(QtiWriter, PanelsRightInEveryWayTheySpellTheAnswer)
{
    const ItemParts parts = partsOf(problemOf(PANEL, {"q", "パネル", "ル", "パネ", B, "パ", "ネ", "x", B, B, B, B, B}));
    EXPECT_EQ(parts.body, utf8(u8"<p>q</p>\n<orderInteraction responseIdentifier=\"RESPONSE\" shuffle=\"true\" "
                               u8"minChoices=\"1\"><simpleChoice identifier=\"tile-1\">x</simpleChoice>"
                               u8"<simpleChoice identifier=\"tile-2\">ネ</simpleChoice>"
                               u8"<simpleChoice identifier=\"tile-3\">パ</simpleChoice>"
                               u8"<simpleChoice identifier=\"tile-4\">パネ</simpleChoice>"
                               u8"<simpleChoice identifier=\"tile-5\">ル</simpleChoice></orderInteraction>\n"));
    EXPECT_EQ(parts.responses, "<responseDeclaration identifier=\"RESPONSE\" cardinality=\"ordered\" "
                               "baseType=\"identifier\"><correctResponse><value>tile-3</value><value>tile-2</value>"
                               "<value>tile-5</value></correctResponse></responseDeclaration>");
    EXPECT_EQ(parts.processing,
              scoring("<or><and>" + sized(3) + member(1, {"tile-3"}) + member(2, {"tile-2"}) + member(3, {"tile-5"}) +
                      "</and><and>" + sized(2) + member(1, {"tile-4"}) + member(2, {"tile-5"}) + "</and></or>"));
}

// A slot: one inline choice per non-blank reel, its characters once each.
TEST(QtiWriter, SlotAsOneInlineChoicePerReel)
{
    const ItemParts parts = partsOf(problemOf(SLOT, {"q", "アイ", "アカア", B, "キイ", B, B, B}));
    EXPECT_EQ(parts.body, utf8(u8"<p>q</p>\n<p><inlineChoiceInteraction responseIdentifier=\"RESPONSE-1\" "
                               u8"shuffle=\"false\"><inlineChoice identifier=\"reel-1-1\">ア</inlineChoice>"
                               u8"<inlineChoice identifier=\"reel-1-2\">カ</inlineChoice></inlineChoiceInteraction> "
                               u8"<inlineChoiceInteraction responseIdentifier=\"RESPONSE-2\" shuffle=\"false\">"
                               u8"<inlineChoice identifier=\"reel-2-1\">キ</inlineChoice>"
                               u8"<inlineChoice identifier=\"reel-2-2\">イ</inlineChoice></inlineChoiceInteraction></p>\n"));
    EXPECT_EQ(parts.responses,
              "<responseDeclaration identifier=\"RESPONSE-1\" cardinality=\"single\" baseType=\"identifier\">"
              "<correctResponse><value>reel-1-1</value></correctResponse></responseDeclaration>"
              "<responseDeclaration identifier=\"RESPONSE-2\" cardinality=\"single\" baseType=\"identifier\">"
              "<correctResponse><value>reel-2-2</value></correctResponse></responseDeclaration>");
    EXPECT_EQ(parts.processing,
              scoring("<and><match><variable identifier=\"RESPONSE-1\"/><correct identifier=\"RESPONSE-1\"/></match>"
                      "<match><variable identifier=\"RESPONSE-2\"/><correct identifier=\"RESPONSE-2\"/></match></and>"));
}

// Items named by their line numbers (branches counted), a section per
// top-level problem with its branches, the manifest listing them all.
TEST(QtiWriter, LinesSectionsAndManifest)
{
    ProblemPtr first = problemOf(OX, {"q1", "○"});
    first->addBranch(problemOf(OX, {"q2", B}));
    first->addBranch(problemOf(YONTAKU, {"q3", "a", "b", B, B}));
    ProblemPtr second = problemOf(NARABEKAE, {"q4", "アイ"});
    const std::optional<std::vector<QtiFile>> files = qtiFilesOf(utf8(u8"クイズ&集"), {first, second});
    ASSERT_TRUE(files);
    ASSERT_EQ(files->size(), 6u);
    for (std::size_t line = 1; line <= 4; ++line) {
        const QtiFile& item = (*files)[line - 1];
        EXPECT_EQ(item.path, "items/line-" + std::to_string(line) + ".xml");
        EXPECT_NE(item.bytes.find("identifier=\"line-" + std::to_string(line) + "\" title=\"" + std::to_string(line) +
                                  "\""),
                  std::string::npos);
        EXPECT_TRUE(item.bytes.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<assessmentItem "));
    }
    const QtiFile& test = (*files)[4];
    EXPECT_EQ(test.path, "test.xml");
    EXPECT_NE(test.bytes.find(utf8(u8"identifier=\"set\" title=\"クイズ&amp;集\">")), std::string::npos);
    EXPECT_NE(test.bytes.find("<assessmentSection identifier=\"problem-1\" title=\"1\" visible=\"true\">"
                              "<assessmentItemRef identifier=\"line-1\" href=\"items/line-1.xml\"/>"
                              "<assessmentItemRef identifier=\"line-2\" href=\"items/line-2.xml\"/>"
                              "<assessmentItemRef identifier=\"line-3\" href=\"items/line-3.xml\"/></assessmentSection>\n"
                              "<assessmentSection identifier=\"problem-4\" title=\"4\" visible=\"true\">"
                              "<assessmentItemRef identifier=\"line-4\" href=\"items/line-4.xml\"/></assessmentSection>\n"),
              std::string::npos);
    const QtiFile& manifest = (*files)[5];
    EXPECT_EQ(manifest.path, "imsmanifest.xml");
    EXPECT_NE(manifest.bytes.find("<resource identifier=\"test\" type=\"imsqti_test_xmlv2p1\" href=\"test.xml\">"
                                  "<file href=\"test.xml\"/><dependency identifierref=\"line-1\"/>"
                                  "<dependency identifierref=\"line-2\"/><dependency identifierref=\"line-3\"/>"
                                  "<dependency identifierref=\"line-4\"/></resource>\n"),
              std::string::npos);
    EXPECT_NE(manifest.bytes.find("<resource identifier=\"line-4\" type=\"imsqti_item_xmlv2p1\" "
                                  "href=\"items/line-4.xml\"><file href=\"items/line-4.xml\"/></resource>\n"),
              std::string::npos);
    // The same set, the same bytes.
    EXPECT_EQ(qtiFilesOf(utf8(u8"クイズ&集"), {first, second})->at(2).bytes, (*files)[2].bytes);
}

// The fallen lines with their places.
TEST(QtiWriter, TellsFallbacks)
{
    ProblemPtr first = problemOf(YONTAKU, {"q", "a", B, B, B});
    first->addBranch(problemOf(YONTAKU, {"q", B, "b", B, B}));
    ProblemPtr second = problemOf(SLOT, {"q", "ア", "ア", B, B, B, B, B});
    ProblemPtr third = problemOf(PANEL, {"q", "ア", "イ", B, B, B, B, B, B, B, B, B});
    QtiWriter writer("set", [](QtiFile&&) { return true; });
    for (const ProblemPtr& problem : {first, second, third})
        ASSERT_TRUE(writer.add(*problem));
    const std::vector<FallenLine>& fallen = writer.fallbacks();
    ASSERT_EQ(fallen.size(), 3u);
    EXPECT_EQ(fallen[0].line, 1u);
    EXPECT_EQ(fallen[0].place, (ProblemPlace{1, 0}));
    EXPECT_EQ(fallen[0].why, Fallback::NoWrongChoice);
    EXPECT_EQ(fallen[1].line, 2u);
    EXPECT_EQ(fallen[1].place, (ProblemPlace{1, 1}));
    EXPECT_EQ(fallen[1].why, Fallback::BlankAnswer);
    EXPECT_EQ(fallen[2].line, 4u);
    EXPECT_EQ(fallen[2].kind->tag, PANEL);
    EXPECT_EQ(fallen[2].why, Fallback::PanelsCannotSpell);
}

// A long text is written whole; a text that is no Shift-JIS writes nothing;
// a sink that refuses stops the writer.
TEST(QtiWriter, LongTextsWholeBrokenTextsAndRefusalsStop)
{
    std::string longText;
    for (int i = 0; i < 20000; ++i)
        longText += "長";
    const ItemParts parts = partsOf(problemOf(OX, {longText, "○"}));
    EXPECT_EQ(parts.body.size(), utf8(OX_BODY(u8"")).size() + 20000 * 3);
    EXPECT_FALSE(qtiItemOf(*problemOf(OX, {"\x81", "○"}), 1));
    EXPECT_FALSE(qtiFilesOf("set", {problemOf(OX, {"q", "○"}), problemOf(YONTAKU, {"q", "a", "x\x81", B, B})}));
    int taken = 0;
    QtiWriter writer("set", [&](QtiFile&&) { return ++taken < 2; });
    ProblemPtr problem = problemOf(OX, {"q", "○"});
    problem->addBranch(problemOf(OX, {"q", "×"}));
    EXPECT_FALSE(writer.add(*problem));
    EXPECT_EQ(taken, 2);
}

namespace {

// The entries of a zip: names and bytes, read back with minizip's reader.
std::vector<QtiFile> unzipped(const std::string& zip, const std::string& path)
{
    {
        std::ofstream out(path, std::ios::binary);
        out.write(zip.data(), static_cast<std::streamsize>(zip.size()));
    }
    std::vector<QtiFile> entries;
    unzFile file = unzOpen64(path.c_str());
    if (!file)
        return entries;
    for (int at = unzGoToFirstFile(file); at == UNZ_OK; at = unzGoToNextFile(file)) {
        char name[256];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(file, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(file) != UNZ_OK)
            break;
        std::string bytes(static_cast<std::size_t>(info.uncompressed_size), '\0');
        const int got = unzReadCurrentFile(file, bytes.data(), static_cast<unsigned>(bytes.size()));
        const bool intact = unzCloseCurrentFile(file) == UNZ_OK; // the checksum
        entries.push_back({name, got == static_cast<int>(bytes.size()) && intact ? bytes : "(damaged)"});
        EXPECT_EQ(info.tmu_date.tm_year, 2023u);
        EXPECT_EQ(info.tmu_date.tm_mon, 10u); // November, from 0
        EXPECT_EQ(info.tmu_date.tm_mday, 14u);
        EXPECT_EQ(info.tmu_date.tm_hour, 22u); // UTC
    }
    unzClose(file);
    std::remove(path.c_str());
    return entries;
}

} // namespace

namespace {

// What a zip of `files` gives its sink, joined, with each piece's size;
// nothing when it fails.
std::optional<std::string> zipOf(const std::vector<QtiFile>& files, std::vector<std::size_t>* pieces = nullptr)
{
    std::string bytes;
    ZipWriter zip(1700000000, [&](std::string_view piece) {
        bytes += piece;
        if (pieces)
            pieces->push_back(piece.size());
        return true;
    });
    for (const QtiFile& file : files)
        if (!zip.add(file.path, file.bytes))
            return std::nullopt;
    return zip.finish() ? std::optional(bytes) : std::nullopt;
}

void expectEntries(const std::string& zip, const std::vector<QtiFile>& files, const std::string& name)
{
    const std::vector<QtiFile> entries = unzipped(zip, testing::TempDir() + name);
    ASSERT_EQ(entries.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        ASSERT_TRUE(entries[i].path == files[i].path && entries[i].bytes == files[i].bytes) << i;
}

} // namespace

// The package zipped as it is made: each entry whole, at the time given,
// the same bytes for the same entries.
TEST(ZipWriter, EntriesWholeAtTheTimeGiven)
{
    std::string large;
    for (int i = 0; i < 100000; ++i)
        large += std::to_string(i) + "\n";
    const std::vector<QtiFile> files{{"items/line-1.xml", "<a/>"}, {"test.xml", large}, {"imsmanifest.xml", ""}};
    const std::optional<std::string> zip = zipOf(files);
    ASSERT_TRUE(zip);
    EXPECT_LT(zip->size(), large.size() / 2);
    EXPECT_EQ(zipOf(files), zip);
    expectEntries(*zip, files, "qti-package-test.zip");

    // More entries than wait at once for the deflating thread: all of
    // them, in the order they were added.
    std::vector<QtiFile> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back({"items/line-" + std::to_string(i) + ".xml", std::string(static_cast<std::size_t>(i % 7), 'a')});
    const std::optional<std::string> manyBytes = zipOf(many);
    ASSERT_TRUE(manyBytes);
    expectEntries(*manyBytes, many, "qti-package-many.zip");

    ZipWriter finished(0, [](std::string_view) { return true; });
    EXPECT_TRUE(finished.finish());
    EXPECT_FALSE(finished.add("late.xml", "x"));
}

// A zip of megabytes goes to its sink in pieces of about a megabyte, which
// join to a whole zip; a sink that refuses a piece fails the zip.
TEST(ZipWriter, GivesALargeZipInPiecesAndFailsWithItsSink)
{
    std::mt19937 random(20261210);
    std::vector<QtiFile> files;
    for (int i = 0; i < 3000; ++i) {
        std::string bytes(1000 + static_cast<std::size_t>(i % 17), '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        files.push_back({"items/line-" + std::to_string(i) + ".xml", bytes});
    }
    std::vector<std::size_t> pieces;
    const std::optional<std::string> zip = zipOf(files, &pieces);
    ASSERT_TRUE(zip);
    ASSERT_GE(pieces.size(), 3u);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_GE(pieces[i], std::size_t{1} << 20) << i;
        EXPECT_LT(pieces[i], (std::size_t{1} << 20) + 4096) << i;
    }
    expectEntries(*zip, files, "qti-package-pieces.zip");

    int asked = 0;
    ZipWriter refused(0, [&](std::string_view) { return ++asked < 2; });
    bool added = true;
    for (const QtiFile& file : files)
        added = refused.add(file.path, file.bytes) && added;
    EXPECT_FALSE(added && refused.finish());
    EXPECT_EQ(asked, 2);
}

// Panels that spell a long answer in more ways than an item holds: the
// first ways are right, and the line is told.
TEST(QtiWriter, PanelsOfTooManyWaysAreCut)
{
    TextList texts{"q", "", "ア", "アア", "アアア", "アアアア", "イ", "イイ", "イイイ", B, B, B, B};
    for (int i = 0; i < 10; ++i)
        texts[1] += "ア";
    texts[1] += "イイイイイイ";
    // ア: 1+2+3+4 in any order (4! = 24 ways), イ: 1+2+3 likewise (3! = 6):
    // 144 ways, under the limit.
    QtiWriter under("set", [](QtiFile&&) { return true; });
    ASSERT_TRUE(under.add(*problemOf(PANEL, texts)));
    EXPECT_TRUE(under.cutSpellings().empty());
    const std::string processing = partsOf(problemOf(PANEL, texts)).processing;
    std::size_t ways = 0;
    for (std::size_t at = processing.find("<and>"); at != std::string::npos; at = processing.find("<and>", at + 1))
        ++ways;
    EXPECT_EQ(ways, 144u);
    texts[9] = "アアアアア";
    texts[1] = "";
    for (int i = 0; i < 15; ++i)
        texts[1] += "ア";
    texts[1] += "イイイイイイ";
    // 5! × 3! = 720 ways: cut at the limit.
    QtiWriter over("set", [](QtiFile&&) { return true; });
    ASSERT_TRUE(over.add(*problemOf(PANEL, texts)));
    ASSERT_EQ(over.cutSpellings().size(), 1u);
    EXPECT_EQ(over.cutSpellings().front().line, 1u);
    EXPECT_TRUE(over.fallbacks().empty());
}
