// A set as an Anki deck: every kind as its note type and fields, what the
// card lays out where the review's verdict plays the line and nothing where
// it cannot, texts as NFC HTML, GUIDs that stay when answers change or
// problems move, the branch tags, Anki's checksum, and the collection's
// schema as SQLite reads it back. tests/anki reads whole packages with
// readers written elsewhere.
#include "QuizTestSupport.h"

#include "model/ProblemKinds.h"
#include "zibconv/anki/AnkiDeck.h"
#include "zibconv/anki/AnkiPackage.h"
#include "zibconv/anki/AnkiText.h"
#include "zibconv/anki/Sha1.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

namespace {

std::string utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

ProblemPtr problemOf(int kind, TextList texts)
{
    return findKind(kind)->create(std::move(texts));
}

ProblemPtr withBranches(ProblemPtr problem, const std::vector<ProblemPtr>& branches)
{
    for (const ProblemPtr& branch : branches)
        problem->addBranch(branch);
    return problem;
}

AnkiNote noteOf(const ProblemPtr& problem)
{
    const std::optional<std::vector<AnkiNote>> notes = ankiNotesOf("set", {problem});
    EXPECT_TRUE(notes && notes->size() == 1);
    return notes && !notes->empty() ? notes->front() : AnkiNote{};
}

// The <li> items of a list, in order.
std::vector<std::string> itemsOf(const std::string& html)
{
    std::vector<std::string> items;
    for (std::size_t at = html.find("<li>"); at != std::string::npos; at = html.find("<li>", at)) {
        at += 4;
        const std::size_t end = html.find("</li>", at);
        items.push_back(html.substr(at, end - at));
    }
    return items;
}

std::vector<std::string> sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

const std::string B = " "; // a blank text, as the editor stores it

struct KindCase {
    const char* what;
    int kind;
    TextList texts;
    std::vector<std::u8string_view> fields; // the kind's fields, then the line
    std::u8string_view listClass;           // of the laid-out field; empty: none is laid out
    std::vector<std::u8string_view> items;  // what it lays out, in any order
};

const KindCase kKinds[] = {
    {"ox", OX, {"空は青い", "○"}, {u8"空は青い", u8"○", u8"1"}, u8"zib-choices zib-ox", {u8"○", u8"×"}},
    {"ox neither", OX, {"q", "はい"}, {u8"q", u8"はい", u8"1"}, u8"", {}},
    {"four-choice", YONTAKU, {"q", "a", "b", "c", "d"}, {u8"q", u8"a", u8"b", u8"c", u8"d", u8"1"}, u8"zib-choices",
     {u8"a", u8"b", u8"c", u8"d"}},
    {"four-choice, blanks left out", YONTAKU, {"q", "a", B, "\r\n", "d"}, {u8"q", u8"a", u8"", u8"", u8"d", u8"1"},
     u8"zib-choices", {u8"a", u8"d"}},
    {"four-choice, no wrong choice", YONTAKU, {"q", "a", B, B, B}, {u8"q", u8"a", u8"", u8"", u8"", u8"1"}, u8"", {}},
    {"association", RENSOU, {"h1", "h2", B, "h4", "a", "b", "c", "d"},
     {u8"h1", u8"h2", u8"", u8"h4", u8"a", u8"b", u8"c", u8"d", u8"1"}, u8"", {}},
    {"rearrangement", NARABEKAE, {"並べて", "ウイア"}, {u8"並べて", u8"ウイア", u8"1"}, u8"zib-tiles",
     {u8"ア", u8"イ", u8"ウ"}},
    {"rearrangement, voiced half-width kana one tile", NARABEKAE, {"q", "ｶﾞｱ"}, {u8"q", u8"ｶﾞｱ", u8"1"}, u8"zib-tiles",
     {u8"ｱ", u8"ｶﾞ"}},
    {"rearrangement, blank answer", NARABEKAE, {"q", B}, {u8"q", u8"", u8"1"}, u8"", {}},
    {"panel", PANEL, {"q", "パネル", "ル", "パ", B, "ネ", B, B, B, B, B, B},
     {u8"q", u8"パネル", u8"ル", u8"パ", u8"", u8"ネ", u8"", u8"", u8"", u8"", u8"", u8"", u8"1"}, u8"zib-tiles",
     {u8"パ", u8"ネ", u8"ル"}},
    {"panel that cannot spell", PANEL, {"q", "ABC", "A", "B", B, B, B, B, B, B, B, B},
     {u8"q", u8"ABC", u8"A", u8"B", u8"", u8"", u8"", u8"", u8"", u8"", u8"", u8"", u8"1"}, u8"", {}},
    {"slot", SLOT, {"q", "アイ", "アカ", "イキ", B, B, B, B},
     {u8"q", u8"アイ", u8"アカ", u8"イキ", u8"", u8"", u8"", u8"", u8"1"}, u8"zib-reels",
     {u8"リール 1: アカ", u8"リール 2: イキ"}},
    {"slot without the answer's character", SLOT, {"q", "アイ", "アカ", "カキ", B, B, B, B},
     {u8"q", u8"アイ", u8"アカ", u8"カキ", u8"", u8"", u8"", u8"", u8"1"}, u8"", {}},
};

TEST(AnkiDeckTest, EveryKindIsItsNoteTypeWithItsFieldsAndWhatItLaysOut)
{
    for (const KindCase& c : kKinds) {
        SCOPED_TRACE(c.what);
        const AnkiNote note = noteOf(problemOf(c.kind, c.texts));
        const AnkiNoteType& type = ankiNoteTypes()[static_cast<std::size_t>(c.kind)];
        ASSERT_EQ(note.kind, findKind(c.kind));
        ASSERT_EQ(note.fields.size(), type.fields.size());
        EXPECT_EQ(type.sortField, type.fields.size() - 1);
        EXPECT_EQ(type.fields.back(), utf8(u8"行"));
        std::vector<std::string> fields = note.fields;
        const bool laysOut = c.kind != RENSOU;
        const std::string shown = laysOut ? fields[fields.size() - 2] : "";
        if (laysOut)
            fields.erase(fields.end() - 2);
        std::vector<std::string> expected;
        for (std::u8string_view field : c.fields)
            expected.push_back(utf8(field));
        EXPECT_EQ(fields, expected);
        if (c.listClass.empty()) {
            EXPECT_EQ(shown, "");
            continue;
        }
        EXPECT_TRUE(shown.starts_with("<ul class=\"" + utf8(c.listClass) + "\">")) << shown;
        std::vector<std::string> items;
        for (std::u8string_view item : c.items)
            items.push_back(utf8(item));
        // Choices and tiles shuffled; ox's ○ × and the reels in order.
        if (c.kind == OX || c.kind == SLOT)
            EXPECT_EQ(itemsOf(shown), items);
        else
            EXPECT_EQ(sorted(itemsOf(shown)), sorted(items));
    }
}

TEST(AnkiDeckTest, NoteTypesAreNamedByTheKindWithItsLabelsAndTemplates)
{
    const std::vector<AnkiNoteType>& types = ankiNoteTypes();
    ASSERT_EQ(types.size(), problemKinds().size());
    EXPECT_EQ(types[YONTAKU].name, utf8(u8"ZIB 四択"));
    EXPECT_EQ(types[OX].name, "ZIB ox");
    const std::vector<std::string> yontaku = {utf8(u8"問題"),     utf8(u8"答え"),     utf8(u8"選択肢 1"),
                                              utf8(u8"選択肢 2"), utf8(u8"選択肢 3"), utf8(u8"並び"), utf8(u8"行")};
    EXPECT_EQ(types[YONTAKU].fields, yontaku);
    EXPECT_NE(types[YONTAKU].front.find(utf8(u8"{{問題}}")), std::string::npos);
    EXPECT_NE(types[YONTAKU].front.find(utf8(u8"{{並び}}")), std::string::npos);
    EXPECT_NE(types[YONTAKU].back.find(utf8(u8"{{答え}}")), std::string::npos);
    // The association: hint 1 shown, 2 to 4 each opened by a click.
    const std::string& rensou = types[RENSOU].front;
    EXPECT_NE(rensou.find(utf8(u8"<li>{{ヒント 1}}</li>")), std::string::npos) << rensou;
    for (const char8_t* hint : {u8"{{hint:ヒント 2}}", u8"{{hint:ヒント 3}}", u8"{{hint:ヒント 4}}"})
        EXPECT_NE(rensou.find(utf8(hint)), std::string::npos) << rensou;
    EXPECT_EQ(rensou.find(utf8(u8"{{hint:ヒント 1}}")), std::string::npos);
    std::set<std::int64_t> ids;
    for (const AnkiNoteType& type : types) {
        EXPECT_TRUE(type.back.starts_with("{{FrontSide}}"));
        ids.insert(type.id);
    }
    EXPECT_EQ(ids.size(), types.size());
}

struct TextCase {
    const char* what;
    std::string shiftJis;
    std::u8string_view html;
};

const TextCase kTexts[] = {
    {"a script stays text", "<script>alert(1)</script>", u8"&lt;script&gt;alert(1)&lt;/script&gt;"},
    {"braces are no field to a template", "{{x}} }}", u8"&#123;&#123;x&#125;&#125; &#125;&#125;"},
    {"ampersand and quote", "a&b \"c\" &amp;", u8"a&amp;b &quot;c&quot; &amp;amp;"},
    {"CR LF, CR and LF are one break each", "a\r\nb\rc\nd", u8"a<br>b<br>c<br>d"},
    {"a blank text is nothing", " \r\n\x81\x40", u8""},
    {"the angstrom sign is the letter A with a ring", "\x81\xF0", u8"\u00C5"},
    {"a compatibility ideograph of the NEC rows is its unified one", "\xED\x80", u8"\u585A"},
    {"one that is a unified ideograph itself stays", "\xED\x95", u8"\uFA11"},
    {"kana and the spacing voiced mark stay two characters, as NFC keeps them", "\x82\xA9\x81\x4A", u8"か゛"},
    {"half-width forms are no canonical pair", "\xB6\xDE", u8"ｶﾞ"},
};

TEST(AnkiDeckTest, TextsAreNfcHtml)
{
    for (const TextCase& c : kTexts) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(fieldHtml(c.shiftJis), utf8(c.html));
    }
    EXPECT_EQ(fieldHtml("\x82"), std::nullopt); // a lone lead byte is no text
}

TEST(AnkiDeckTest, CompositionChangesOnlyTheSingletons)
{
    // Every code point of the BMP outside the table stays as it is.
    std::size_t changed = 0;
    for (char32_t c = 0x20; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        changed += composedOfCodePage932(std::u32string(1, c))[0] != c;
    }
    EXPECT_EQ(changed, 23u);
}

TEST(AnkiDeckTest, Sha1AndTheChecksumAreAnkis)
{
    const std::array<std::uint8_t, 20> abc = sha1("abc");
    EXPECT_EQ(abc[0], 0xA9);
    EXPECT_EQ(abc[19], 0x9D);
    const std::array<std::uint8_t, 20> long448 = sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
    EXPECT_EQ(long448[0], 0x84);
    EXPECT_EQ(long448[19], 0xF1);
    EXPECT_EQ(sha1(std::string(1000000, 'a'))[0], 0x34);
    // sha1("a") = 86f7e437...; tags out, references read.
    EXPECT_EQ(fieldChecksum("a"), 0x86F7E437);
    EXPECT_EQ(fieldChecksum("<b>a</b>"), 0x86F7E437);
    EXPECT_EQ(fieldChecksum("&amp;"), fieldChecksum("&"));
    EXPECT_EQ(fieldChecksum("&#123;"), fieldChecksum("{"));
}

TEST(AnkiDeckTest, Base91IsAnkisAlphabet)
{
    EXPECT_EQ(base91(0), "a");
    EXPECT_EQ(base91(90), "~");
    EXPECT_EQ(base91(91), "ba");
    EXPECT_EQ(base91(~std::uint64_t{0}).size(), 10u);
}

std::vector<std::string> guidsOf(std::string_view setName, const ProblemList& problems)
{
    std::vector<std::string> guids;
    const std::optional<std::vector<AnkiNote>> notes = ankiNotesOf(setName, problems);
    EXPECT_TRUE(notes);
    for (const AnkiNote& note : notes.value_or(std::vector<AnkiNote>{}))
        guids.push_back(note.guid);
    return guids;
}

TEST(AnkiDeckTest, GuidsFollowTheSetKindNamingTextAndOrderAmongEquals)
{
    const ProblemPtr capital = problemOf(YONTAKU, {"首都は？", "東京", "大阪", "京都", "名古屋"});
    const ProblemPtr fixed = problemOf(YONTAKU, {"首都は？", "東京都", "大阪", "京都", "札幌"});
    const ProblemPtr same = problemOf(YONTAKU, {"首都は？", "パリ", "ローマ", B, B});
    const ProblemPtr ox = problemOf(OX, {"首都は？", "○"});
    const ProblemPtr hints = problemOf(RENSOU, {"h1", "h2", "h3", "h4", "a", "b", B, B});
    const ProblemPtr otherHints = problemOf(RENSOU, {"h1", "h2", "h3", "h5", "a", "b", B, B});

    const std::vector<std::string> first = guidsOf("set", {capital, same, ox, hints, otherHints});
    EXPECT_EQ(guidsOf("set", {capital, same, ox, hints, otherHints}), first);
    // A fixed answer keeps the note; a problem moved keeps its own.
    EXPECT_EQ(guidsOf("set", {fixed, same, ox, hints, otherHints}), first);
    const std::vector<std::string> moved = guidsOf("set", {hints, ox, capital, otherHints, same});
    EXPECT_EQ(moved, (std::vector<std::string>{first[3], first[2], first[0], first[4], first[1]}));
    // Equal questions of one kind are told apart by their order.
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), first.size());
    EXPECT_NE(guidsOf("other", {capital})[0], first[0]);
    for (const std::string& guid : first) {
        EXPECT_LE(guid.size(), 10u);
        EXPECT_EQ(guid.find_first_of(" \t\x1f"), std::string::npos);
    }
}

TEST(AnkiDeckTest, TheOrderOfChoicesIsStableAndTilesDoNotGiveTheAnswer)
{
    const ProblemPtr choice = problemOf(YONTAKU, {"q", "a", "b", "c", "d"});
    EXPECT_EQ(noteOf(choice).fields[5], noteOf(choice).fields[5]);
    // Two characters shuffle into the answer's order half the time.
    for (const char* answer : {"アイ", "イア", "カキ", "キカ", "ab", "ba", "12", "21", "xy", "yx"}) {
        SCOPED_TRACE(answer);
        const AnkiNote note = noteOf(problemOf(NARABEKAE, {answer, answer}));
        const std::vector<std::string> tiles = itemsOf(note.fields[2]);
        ASSERT_EQ(tiles.size(), 2u);
        EXPECT_NE(tiles[0] + tiles[1], note.fields[1]);
    }
}

TEST(AnkiDeckTest, BranchesAreTaggedWithTheirProblemsLine)
{
    const ProblemPtr main = withBranches(problemOf(OX, {"a", "○"}), {problemOf(OX, {"b", "×"}), problemOf(OX, {"c", "×"})});
    const ProblemPtr alone = problemOf(OX, {"d", "○"});
    const ProblemPtr second = withBranches(problemOf(OX, {"e", "○"}), {problemOf(OX, {"f", "×"})});
    AnkiDeckBuilder deck("set");
    ASSERT_TRUE(deck.add(*main) && deck.add(*alone) && deck.add(*second));
    std::vector<std::pair<std::size_t, std::string>> got;
    for (const AnkiNote& note : deck.notes())
        got.emplace_back(note.line, note.tags);
    const std::string first = utf8(u8" 分岐::1 "), fifth = utf8(u8" 分岐::5 ");
    EXPECT_EQ(got, (std::vector<std::pair<std::size_t, std::string>>{
                       {1, first}, {2, first}, {3, first}, {4, ""}, {5, fifth}, {6, fifth}}));
}

TEST(AnkiDeckTest, LinesThatCannotPlayAsTheirKindAreNamed)
{
    AnkiDeckBuilder deck("set");
    ASSERT_TRUE(deck.add(*withBranches(problemOf(YONTAKU, {"q", "a", B, B, B}), {problemOf(YONTAKU, {"q", B, "b", B, B})})));
    ASSERT_TRUE(deck.add(*problemOf(RENSOU, {"h1", "h2", "h3", "h4", "a", B, B, B})));
    ASSERT_TRUE(deck.add(*problemOf(RENSOU, {"h1", "h2", "h3", "h4", B, "b", B, B})));
    const std::vector<FallenLine>& fallen = deck.fallbacks();
    ASSERT_EQ(fallen.size(), 3u);
    EXPECT_EQ(fallen[0].line, 1u);
    EXPECT_EQ(fallen[0].why, Fallback::NoWrongChoice);
    EXPECT_EQ(fallen[1].line, 2u);
    EXPECT_EQ(fallen[1].place, (ProblemPlace{1, 1}));
    EXPECT_EQ(fallen[1].why, Fallback::BlankAnswer);
    // An association without wrong choices still reveals its hints; only
    // a blank answer is named.
    EXPECT_EQ(fallen[2].line, 4u);
    EXPECT_EQ(fallen[2].why, Fallback::BlankAnswer);
}

TEST(AnkiDeckTest, ATextThatIsNoShiftJisKeepsNothingOfItsProblem)
{
    AnkiDeckBuilder deck("set");
    EXPECT_FALSE(deck.add(*withBranches(problemOf(OX, {"a", "○"}), {problemOf(OX, {"\x82", "○"})})));
    EXPECT_TRUE(deck.notes().empty());
}

struct DatabaseClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

// The collection's bytes opened as SQLite opens a file.
std::unique_ptr<sqlite3, DatabaseClose> opened(const std::string& bytes)
{
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), copy);
    EXPECT_EQ(sqlite3_deserialize(db, "main", copy, static_cast<sqlite3_int64>(bytes.size()),
                                  static_cast<sqlite3_int64>(bytes.size()),
                                  SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY),
              SQLITE_OK);
    return std::unique_ptr<sqlite3, DatabaseClose>(db);
}

std::vector<std::string> column(sqlite3* db, const std::string& sql, int at = 0)
{
    std::vector<std::string> values;
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, at);
        values.emplace_back(text ? reinterpret_cast<const char*>(text) : "(null)");
    }
    sqlite3_finalize(statement);
    return values;
}

TEST(AnkiDeckTest, TheCollectionHasSchema11sTablesAndColumns)
{
    AnkiDeckBuilder deck("set");
    ASSERT_TRUE(deck.add(*withBranches(problemOf(OX, {"a", "○"}), {problemOf(YONTAKU, {"q", "a", "b", B, B})})));
    const std::optional<std::string> bytes = ankiCollection(deck, 1700000000);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 16), std::string("SQLite format 3\0", 16));
    const auto db = opened(*bytes);
    const std::vector<std::pair<std::string, std::string>> tables = {
        {"col", "id crt mod scm ver dty usn ls conf models decks dconf tags"},
        {"notes", "id guid mid mod usn tags flds sfld csum flags data"},
        {"cards", "id nid did ord mod usn type queue due ivl factor reps lapses left odue odid flags data"},
        {"revlog", "id cid usn ease ivl lastIvl factor time type"},
        {"graves", "usn oid type"},
    };
    EXPECT_EQ(column(db.get(), "select name from sqlite_master where type = 'table' order by rowid").size(), tables.size());
    for (const auto& [table, columns] : tables) {
        std::string names;
        for (const std::string& name : column(db.get(), "pragma table_info(" + table + ")", 1))
            names += (names.empty() ? "" : " ") + name;
        EXPECT_EQ(names, columns) << table;
    }
    EXPECT_EQ(column(db.get(), "select ver || ' ' || crt || ' ' || mod from col"),
              std::vector<std::string>{"11 1700000000 1700000000000"});
    EXPECT_EQ(column(db.get(), "select sfld || ' ' || tags from notes order by id"),
              (std::vector<std::string>{utf8(u8"1  分岐::1 "), utf8(u8"2  分岐::1 ")}));
    EXPECT_EQ(column(db.get(), "select count(*) from cards join notes on cards.nid = notes.id"),
              std::vector<std::string>{"2"});
    const std::string models = column(db.get(), "select models from col")[0];
    for (const AnkiNoteType& type : ankiNoteTypes())
        EXPECT_NE(models.find("\"name\":\"" + type.name + "\""), std::string::npos) << type.name;
    EXPECT_NE(column(db.get(), "select decks from col")[0].find("\"name\":\"set\""), std::string::npos);
    EXPECT_EQ(column(db.get(), "pragma page_size"), std::vector<std::string>{"4096"});
}

TEST(AnkiDeckTest, ThePackageIsTheSameBytesForTheSameTime)
{
    AnkiDeckBuilder deck("set");
    ASSERT_TRUE(deck.add(*problemOf(OX, {"a", "○"})));
    const std::optional<std::string> first = ankiPackage(deck, 1700000000);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->starts_with("PK\x03\x04"));
    EXPECT_NE(first->find("collection.anki2"), std::string::npos);
    EXPECT_NE(first->find("media"), std::string::npos);
    EXPECT_EQ(ankiPackage(deck, 1700000000), first);
    EXPECT_NE(ankiPackage(deck, 1700000001), first);
}

} // namespace
