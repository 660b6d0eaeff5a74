// The set's page as the writer makes it: every line with every field in
// file order, texts escaped in one place and exact, blanks marked, the
// review's notes on the lines they name, and nothing that changes between
// runs. The browser tests (tests/page) check what a browser makes of it.
#include "QuizTestSupport.h"

#include "model/ProblemKinds.h"
#include "review/ContentReview.h"
#include "review/TextFolding.h"
#include "text/ShiftJis.h"
#include "text/Unicode.h"
#include "zibconv/page/ExportPage.h"
#include "zibconv/page/PageAssets.h"
#include "zibconv/page/PageWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

namespace {

std::string utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string unescaped(std::string text)
{
    const std::pair<const char*, const char*> references[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [reference, character] : references)
        for (std::size_t at = text.find(reference); at != std::string::npos; at = text.find(reference, at + 1))
            text.replace(at, std::string_view(reference).size(), character);
    return text;
}

struct PageField {
    std::string name;
    bool blank;
    std::string text; // as the page writes it, escaped
};

struct PageLine {
    std::string attributes;
    std::string body;
    std::vector<PageField> fields;
};

std::vector<PageLine> linesOf(const std::string& page)
{
    static const std::regex article(R"re(<article ([^>]*)>([\s\S]*?)</article>)re");
    static const std::regex field(R"re(<dd data-field="(\w+)"( data-blank)?>([^<]*)(?=<dt>|</dl>))re");
    std::vector<PageLine> lines;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), article); it != std::sregex_iterator(); ++it) {
        PageLine line{(*it)[1], (*it)[2], {}};
        for (auto f = std::sregex_iterator(line.body.begin(), line.body.end(), field); f != std::sregex_iterator(); ++f)
            line.fields.push_back({(*f)[1], (*f)[2].matched, (*f)[3]});
        lines.push_back(std::move(line));
    }
    return lines;
}

ProblemPtr problemOf(int kind, TextList texts)
{
    return findKind(kind)->create(std::move(texts));
}

std::string pageOf(const ProblemList& problems)
{
    return setPage("set.xml", problems, reviewContent(problems));
}

} // namespace

// Whatever a text holds, it shows as that text: the page's only markup is
// its own, and the text comes back exactly when its references are read.
TEST(PageWriter, EscapesEveryHostileTextInOnePlace)
{
    const std::string hostile[] = {
        "<script>alert(1)</script>", "</script><script>alert(2)</script>", "<!-- comment", "\"double\" 'single'",
        "&amp; &lt; &#x3C; &", "<b>tag</b><img src=x onerror=alert(3)>", "</style></dd></dl></article>", "]]> ${x} `y`",
    };
    for (const std::string& text : hostile) {
        const std::string page = pageOf({problemOf(OX, {text, text}), problemOf(YONTAKU, {"q", "a", text, "b", "c"})});
        SCOPED_TRACE(text);
        EXPECT_EQ(occurrences(page, "<script"), 1u);
        EXPECT_EQ(occurrences(page, "</script"), 1u);
        EXPECT_EQ(occurrences(page, "<style"), 1u);
        EXPECT_EQ(occurrences(page, "</style"), 1u);
        EXPECT_EQ(occurrences(page, "<!--"), 0u);
        EXPECT_EQ(occurrences(page, "<b>"), 0u);
        EXPECT_EQ(occurrences(page, "<img"), 0u);
        const std::vector<PageLine> lines = linesOf(page);
        ASSERT_EQ(lines.size(), 2u);
        ASSERT_EQ(lines[0].fields.size(), 2u);
        for (const PageField& field : lines[0].fields)
            EXPECT_EQ(unescaped(field.text), text);
        EXPECT_EQ(unescaped(lines[1].fields[2].text), text);
    }
}

// Line breaks become line feeds; Japanese becomes UTF-8; a byte that is no
// code page 932 text becomes U+FFFD alone, its neighbours kept.
TEST(PageWriter, WritesTextsAsUtf8WithLineFeeds)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"  spaces  kept  ", "  spaces  kept  "},
        {"日本語ｶﾅ", utf8(u8"日本語ｶﾅ")},
        {"x\x81", "x\xEF\xBF\xBD"},
        {"\x85\x40" "y表", "\xEF\xBF\xBD@y" + utf8(u8"表")},
    };
    for (const auto& [text, shown] : cases) {
        const std::vector<PageLine> lines = linesOf(pageOf({problemOf(NARABEKAE, {text, "a"})}));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(unescaped(lines[0].fields[0].text), shown) << text;
    }
}

const std::u8string_view kindLabelsUtf8[] = {u8"【ox】", u8"【四択】", u8"【連想】", u8"【並替】", u8"【パネ】", u8"【スロ】"};

// Every kind, as a top-level problem and as a branch: numbered lines in the
// order of the selection dialog, each with its kind's fields in file order
// and counts, each text in its place.
TEST(PageWriter, ListsEveryLineWithEveryFieldInFileOrder)
{
    ProblemList problems;
    for (const ProblemKind& kind : problemKinds()) {
        ProblemPtr problem = numberedProblem(kind.tag, "m");
        problem->addBranch(numberedProblem((kind.tag + 1) % kProblemTypeCount, "s"));
        problems.push_back(problem);
    }
    const std::string page = pageOf(problems);
    const std::vector<PageLine> lines = linesOf(page);
    ASSERT_EQ(lines.size(), 2 * problemKinds().size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool branch = i % 2 == 1;
        const ProblemKind& kind = problemKinds()[(i / 2 + (branch ? 1 : 0)) % problemKinds().size()];
        const std::string number = std::to_string(i + 1);
        SCOPED_TRACE(number);
        // How each plays with texts "m0", "m1", ...: an ox answer that is no
        // ○ or ×, panels that cannot spell it and too many reels reveal it.
        // A line only shown carries no play data.
        const char* plays[] = {"", " data-play='{\"mode\":\"choice\"", " data-play='{\"mode\":\"choice\"",
                               " data-play='{\"mode\":\"tiles\"", "", ""};
        EXPECT_EQ(lines[i].attributes.find("id=\"line-" + number + "\" data-kind=\"" + kind.elementName +
                                           "\" data-level=\"" + (branch ? "sub" : "main") + "\"" + plays[kind.tag]),
                  0u)
            << lines[i].attributes;
        EXPECT_EQ(lines[i].attributes.find("data-play") == std::string::npos, *plays[kind.tag] == '\0');
        ASSERT_EQ(lines[i].fields.size(), kind.fieldCount());
        for (std::size_t f = 0; f < kind.fieldCount(); ++f) {
            EXPECT_EQ(lines[i].fields[f].name, fieldInfo(kind.placeOf(f).field).elementName);
            EXPECT_EQ(lines[i].fields[f].text, (branch ? "s" : "m") + std::to_string(f));
            EXPECT_FALSE(lines[i].fields[f].blank);
        }
        // A branch says whose it is: "4 【連想】 （3 の分岐）".
        const std::string whose = branch ? " " + utf8(u8"（") + std::to_string(i) + utf8(u8" の分岐）") : "";
        EXPECT_EQ(lines[i].body.find("<h2>" + number + " " + utf8(kindLabelsUtf8[kind.tag]) + whose + "</h2>"), 0u);
    }
    EXPECT_NE(page.find(utf8(u8"<dt>選択肢 3<dd")), std::string::npos);
    EXPECT_NE(page.find(utf8(u8"<dt>リール 6<dd")), std::string::npos);
    EXPECT_NE(page.find(utf8(u8"<p data-counts>問題 6 問 (ox 1、四択 1、連想 1、並べ替え 1、文字パネル 1、スロット 1)、分岐 6 問</p>")),
              std::string::npos);
}

// What the player would see as nothing is marked, whatever spaces it holds;
// its text stays as the set holds it.
TEST(PageWriter, MarksBlankTextsAndKeepsThem)
{
    const std::string fullWidthSpace = "　";
    const std::vector<PageLine> lines =
        linesOf(pageOf({problemOf(YONTAKU, {kBlankText, "a", "\r\n", fullWidthSpace, " x "})}));
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<PageField>& fields = lines[0].fields;
    ASSERT_EQ(fields.size(), 5u);
    const bool blank[] = {true, false, true, true, false};
    const std::string shown[] = {" ", "a", "\n", utf8(u8"　"), " x "};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i].blank, blank[i]) << i;
        EXPECT_EQ(fields[i].text, shown[i]) << i;
    }
}

// The review's findings stand on their lines in check's words, each
// beginning with its line's number as the heading does; a group of the same
// problems stands on its first line, its problems named by their lines as
// links, and each other problem of it links to that line.
TEST(PageWriter, ShowsTheReviewsFindingsOnTheirLines)
{
    ProblemPtr first = problemOf(YONTAKU, {"same", "a", "b", "c", "d"});
    first->addBranch(problemOf(PANEL, {"q", "ABC", "A", "B"}));
    const ProblemList problems = {first, problemOf(YONTAKU, {"same", "x", "b", "c", "d"}), problemOf(OX, {"q", "o"})};
    const std::vector<PageLine> lines = linesOf(pageOf(problems));
    ASSERT_EQ(lines.size(), 4u);
    const std::string note = "<p class=\"note\" data-rule=\"";
    const std::string group = utf8(u8"same-problem-other-answer\">1 (問題 1): 問題「same」が同じで答えの違う問題があります: "
                                   u8"<a href=\"#line-1\">1</a>「a」、<a href=\"#line-3\">3</a>「x」</p>");
    const std::string pointer = utf8(u8"same-problem-other-answer\">3 (問題 2): 問題「same」が同じで答えの違う問題があります: "
                                     u8"<a href=\"#line-1\">1</a> の注を見てください</p>");
    const std::string panel = utf8(u8"panels-cannot-spell\">2 (問題 1 の分岐 1): 答え「ABC」はパネルを 1 枚 1 回ずつ使って作れません</p>");
    const std::vector<std::string> wanted[] = {{group}, {panel}, {pointer}, {}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i + 1);
        std::vector<std::string> found;
        for (std::size_t at = lines[i].body.find(note); at != std::string::npos; at = lines[i].body.find(note, at + 1))
            found.push_back(lines[i].body.substr(at + note.size(), lines[i].body.find("</p>", at) + 4 - at - note.size()));
        EXPECT_EQ(found, wanted[i]);
    }
}

// The page names its own style sheet and script by hash and nothing else;
// neither can end its element early; and the same set gives the same bytes.
TEST(PageWriter, IsTheSameEachTimeAndAllowsOnlyItsOwnCode)
{
    for (const std::string_view code : {pageStyle().utf8, pageScript().utf8}) {
        std::string lower(code);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        EXPECT_EQ(lower.find("</script"), std::string::npos);
        EXPECT_EQ(lower.find("</style"), std::string::npos);
        EXPECT_EQ(lower.find("<!--"), std::string::npos);
    }
    EXPECT_EQ(std::string_view(pageStyle().sha256Base64).size(), 44u);
    EXPECT_EQ(pagePolicy(), std::string("default-src 'none'; style-src 'sha256-") + pageStyle().sha256Base64 +
                                "'; script-src 'sha256-" + pageScript().sha256Base64 +
                                "'; base-uri 'none'; form-action 'none'");
    ProblemList problems;
    for (const ProblemKind& kind : problemKinds())
        problems.push_back(numberedProblem(kind.tag, "t"));
    const std::string page = pageOf(problems);
    EXPECT_EQ(page, pageOf(problems));
    EXPECT_NE(page.find("<meta http-equiv=\"Content-Security-Policy\" content=\"" + pagePolicy() + "\">"),
              std::string::npos);
    EXPECT_EQ(pageOf({}).find("<article"), std::string::npos);
}

// The set's name is the last part of its path, in either system's encoding;
// a code page 932 trail byte that is "\" does not cut the name.
TEST(PageWriter, NamesTheSetByItsFileName)
{
    const std::pair<std::string, std::string> cases[] = {
        {"set.xml", "set.xml"},
        {"dir/sub/set.xml", "set.xml"},
        {"C:\\dir\\set.xml", "set.xml"},
        {utf8(u8"フォルダ/問題集.xml"), utf8(u8"問題集.xml")},
        {"C:\\\x95\x5C\\\x95\x5C.xml", utf8(u8"表.xml")},
        {"\x95\x5C\x95\x5C.xml", utf8(u8"表表.xml")},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(pageFileName(path), name) << path;
    const std::string page = setPage("<b>&.xml", {}, {});
    EXPECT_NE(page.find("<title>&lt;b&gt;&amp;.xml</title>"), std::string::npos);
    EXPECT_NE(page.find("<h1>&lt;b&gt;&amp;.xml</h1>"), std::string::npos);
}

// Lines go in blocks of about a hundred, a problem never apart from its
// branches, every line in one block.
TEST(PageWriter, GroupsLinesInBlocksOfWholeProblems)
{
    for (const std::size_t count : {1u, 33u, 34u, 40u, 100u}) {
        ProblemList problems;
        for (std::size_t i = 0; i < count; ++i) {
            ProblemPtr problem = numberedProblem(OX, "m");
            problem->addBranch(numberedProblem(OX, "s"));
            problem->addBranch(numberedProblem(OX, "t"));
            problems.push_back(problem);
        }
        const std::string page = pageOf(problems);
        const std::string open = "<section class=\"block\">\n";
        std::vector<std::size_t> sizes;
        for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
            const std::size_t end = page.find("</section>", at);
            const std::string block = page.substr(at, end - at);
            sizes.push_back(occurrences(block, "<article "));
            EXPECT_EQ(block.find("<article "), block.find("<article id=\"line-")) << count;
            EXPECT_NE(block.find("data-level=\"main\""), std::string::npos);
            EXPECT_LT(block.find("data-level=\"main\""), block.find("data-level=\"sub\"")) << count;
        }
        std::size_t lines = 0;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            lines += sizes[i];
            EXPECT_EQ(sizes[i] % 3, 0u) << count;
            if (i + 1 < sizes.size()) {
                EXPECT_EQ(sizes[i], 102u) << count;
            }
        }
        EXPECT_EQ(lines, 3 * count);
        EXPECT_EQ(occurrences(page, "</section>"), sizes.size() + 1) << count; // and the play section's
    }
}

// A page of several megabytes goes out in pieces of about a megabyte that
// join to the page whole, each ending after a whole problem; the first
// piece refused ends the writing.
TEST(PageWriter, WritesALargePageInPiecesOfWholeProblems)
{
    ProblemList problems;
    const std::string longText(3000, 'x');
    for (std::size_t i = 0; i < 2000; ++i)
        problems.push_back(problemOf(OX, {longText + std::to_string(i), "○"}));
    const std::vector<ContentFinding> findings = reviewContent(problems);
    std::vector<std::string> pieces;
    ASSERT_TRUE(writeSetPage("set.xml", problems, findings, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
    }));
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        joined += pieces[i];
        if (i + 1 < pieces.size()) {
            EXPECT_GE(pieces[i].size(), std::size_t{1} << 20) << i;
            EXPECT_LT(pieces[i].size(), (std::size_t{1} << 20) + 8000) << i;
            EXPECT_TRUE(pieces[i].ends_with("</article>\n")) << i;
        }
    }
    EXPECT_GE(pieces.size(), 6u);
    EXPECT_EQ(joined, setPage("set.xml", problems, findings));
    EXPECT_EQ(linesOf(joined).size(), problems.size());

    std::size_t asked = 0;
    EXPECT_FALSE(writeSetPage("set.xml", problems, findings, [&](std::string_view) { return ++asked < 2; }));
    EXPECT_EQ(asked, 2u);
}

namespace {

// The value of an attribute of a line, between either quotes, its
// references read.
std::optional<std::string> attributeOf(const PageLine& line, const std::string& name)
{
    const std::string start = " " + name + "=";
    const std::size_t at = line.attributes.find(start);
    if (at == std::string::npos)
        return std::nullopt;
    const std::size_t from = at + start.size() + 1;
    const char quote = line.attributes[from - 1];
    return unescaped(line.attributes.substr(from, line.attributes.find(quote, from) - from));
}

} // namespace

// Each line carries the review's verdict as JSON: how it plays, the folded
// answer and the pieces with their folded texts, every character exact
// (a carriage return too) and no text able to end the attribute.
TEST(PageWriter, CarriesHowEachLinePlaysWithTheFoldedTextsCompared)
{
    const std::pair<ProblemPtr, std::u8string_view> cases[] = {
        {problemOf(OX, {"q", "ｏ"}), u8R"({"mode":"choice","answer":"○","inOrder":true,"pieces":["○","×"]})"},
        {problemOf(OX, {"q", "はい"}), std::u8string_view()},
        {problemOf(YONTAKU, {"q", " ＡＢ", "\"<b>&'", "a\r\nb", " "}),
         u8R"({"mode":"choice","answer":"AB","pieces":[[" ＡＢ","AB"],"\"<b>&'","a\u000d\u000ab"]})"},
        {problemOf(YONTAKU, {"q", "A", " ", "　", "\r\n"}), std::u8string_view()},
        {problemOf(NARABEKAE, {"q", " ｶﾞ①㈱\\ "}),
         u8R"({"mode":"tiles","answer":"ガ①㈱\\","pieces":[["ｶﾞ","ガ"],"①","㈱","\\"]})"},
        {problemOf(PANEL, {"q", "パネル", "ﾙ", "パネ", " "}), u8R"({"mode":"tiles","answer":"パネル","pieces":[["ﾙ","ル"],"パネ"]})"},
        {problemOf(PANEL, {"q", "1", "①"}), std::u8string_view()},
        {problemOf(SLOT, {"q", "ｶﾞA", "カｶﾞガ", " ", "ＡＡB"}), u8R"({"mode":"reels","answer":"ガA","reels":[["カ","ガ"],["A","B"]]})"},
        {problemOf(SLOT, {"q", "ガA", "カ", "A"}), std::u8string_view()},
    };
    for (const auto& [problem, json] : cases) {
        const std::vector<PageLine> lines = linesOf(pageOf({problem}));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(attributeOf(lines[0], "data-play"), json.empty() ? std::nullopt : std::optional(utf8(json)))
            << lines[0].attributes;
    }
}

namespace {

// The search's table as the script reads it: each string pair of "chars"
// and of "joined", the JSON escapes the writer uses read back.
struct SearchFolding {
    std::map<std::u32string, std::u32string> chars;
    std::map<std::u32string, std::u32string> joined;
};

SearchFolding searchFoldingOf(const std::string& json)
{
    SearchFolding table;
    std::vector<std::u32string> strings;
    std::map<std::u32string, std::u32string>* into = nullptr;
    for (std::size_t at = 0; at < json.size(); ++at) {
        if (json[at] != '"')
            continue;
        std::string bytes;
        for (++at; json[at] != '"'; ++at) {
            if (json[at] != '\\') {
                bytes += json[at];
            } else if (json[++at] == 'u') {
                bytes += static_cast<char>(std::stoi(json.substr(at + 1, 4), nullptr, 16));
                at += 4;
            } else {
                bytes += json[at];
            }
        }
        const std::u32string text = decodeUtf8(bytes).value();
        if (text == U"chars" || text == U"joined") {
            into = text == U"chars" ? &table.chars : &table.joined;
        } else if (strings.push_back(text); strings.size() == 2) {
            (*into)[strings[0]] = strings[1];
            strings.clear();
        }
    }
    return table;
}

// What the script makes of a text with the table.
std::u32string foldedBy(const SearchFolding& table, std::u32string_view text)
{
    std::u32string folded;
    for (const char32_t c : text) {
        const auto f = table.chars.find(std::u32string(1, c));
        const std::u32string part = f == table.chars.end() ? std::u32string(1, c) : f->second;
        const auto both = folded.empty() ? table.joined.end() : table.joined.find(folded.back() + part);
        if (both == table.joined.end())
            folded += part;
        else
            folded.back() = both->second[0];
    }
    return folded;
}

// Every character of code page 932 (those of one byte and of two).
std::vector<std::u32string> codePageCharacters()
{
    std::vector<std::u32string> characters;
    const auto add = [&](const std::string& bytes) {
        if (const std::optional<std::u32string> points = decodedText(bytes); points && points->size() == 1)
            characters.push_back(*points);
    };
    for (int first = 0x20; first <= 0xFC; ++first) {
        if (!isShiftJisLeadByte(static_cast<unsigned char>(first))) {
            add(std::string(1, static_cast<char>(first)));
            continue;
        }
        for (int second = 0x40; second <= 0xFC; ++second)
            add({static_cast<char>(first), static_cast<char>(second)});
    }
    return characters;
}

} // namespace

// The page carries the search's folding as a table the script applies to
// the lines' texts and to what the user types: the review's folding of
// widths and voiced marks, and letters in lower case.
TEST(PageWriter, TheSearchFoldsByATableOfTheReviewsFolding)
{
    const std::string page = pageOf({problemOf(NARABEKAE, {"q", "a"})});
    const std::string start = "<div class=\"list\" data-folding='";
    const std::size_t at = page.find(start);
    ASSERT_NE(at, std::string::npos);
    const std::size_t from = at + start.size();
    const SearchFolding table = searchFoldingOf(unescaped(page.substr(from, page.find('\'', from) - from)));
    const auto points = [](std::u8string_view text) { return decodeUtf8(utf8(text)).value(); };

    const std::pair<std::u8string_view, std::u8string_view> cases[] = {
        {u8"東京 a b", u8"東京 a b"},
        {u8"ＡＢＣ　ｶﾞｽ", u8"abc ガス"},
        {u8"ΑΣ Ⅹ ДЁ \u212B", u8"ασ ⅹ дё å"},
        {u8"①㈱～", u8"①㈱~"},
        {u8"＂＇＜＞＆＼Ｑ", u8"\"'<>&\\q"},
        {u8"ｳﾞﾜﾞﾊﾟゝﾞヽﾞかﾞ", u8"ヴヷパゞヾが"},
        {u8"ﾞaﾞﾝﾟ", u8"\u3099a\u3099ン\u309A"},
    };
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(encodeUtf8(foldedBy(table, points(text))), utf8(folded)) << utf8(text);

    // Every character and every character with a half-width voiced mark
    // after it: the table joins what the review joins, and folds what it
    // folded once more to itself.
    const std::vector<std::u32string> characters = codePageCharacters();
    ASSERT_GT(characters.size(), 7000u);
    for (const std::u32string& c : characters) {
        const std::u32string once = foldedBy(table, c);
        EXPECT_EQ(foldedBy(table, once), once) << encodeUtf8(c);
        for (const char32_t mark : {U'\uFF9E', U'\uFF9F'}) {
            const std::u32string marked = c + mark;
            EXPECT_EQ(foldedBy(table, marked), foldedBy(table, widthsFolded(marked))) << encodeUtf8(marked);
        }
    }
}
