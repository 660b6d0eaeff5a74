// A table's bytes in each encoding a spreadsheet writes, and every cell a
// quiz file could not hold, refused with its row and column.
#include "WholeTables.h"
#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<TableRow>;

const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::string utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string findingsOf(const DecodedTable& table)
{
    std::string out;
    for (const TableFinding& finding : table.findings)
        out += std::to_string(finding.row) + "/" + finding.column +
               (finding.columnNumber != 0 ? "#" + std::to_string(finding.columnNumber) : "") + ":" +
               finding.message + "\n";
    return out;
}

// "kind,question" then one row, in Shift-JIS cells.
Rows decoded(const std::string& bytes, std::optional<TableEncoding> given = std::nullopt)
{
    const DecodedTable table = decodeTable(bytes, ',', given);
    EXPECT_EQ(findingsOf(table), "");
    return table.rows;
}

TEST(TableFile, ExportWritesUtf8WithItsMarkOrShiftJis)
{
    const Rows rows{{"kind", "question"}, {"四択", "日本"}};
    EXPECT_EQ(encodeTable(rows, ',', TableEncoding::Utf8),
              kUtf8Mark + "kind,question\r\n\xE5\x9B\x9B\xE6\x8A\x9E,\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    EXPECT_EQ(encodeTable(rows, ',', TableEncoding::ShiftJis), "kind,question\r\n四択,日本\r\n");
}

TEST(TableFile, TheMarkOrTheBytesTellTheEncoding)
{
    const Rows expected{{"kind", "question"}, {"四択", "日本"}};
    const std::string utf8Body = "kind,question\r\n\xE5\x9B\x9B\xE6\x8A\x9E,\xE6\x97\xA5\xE6\x9C\xAC\r\n";
    EXPECT_EQ(decoded(kUtf8Mark + utf8Body), expected);
    EXPECT_EQ(decoded(utf8Body), expected);
    EXPECT_EQ(decoded("kind,question\r\n四択,日本\r\n"), expected);
    EXPECT_EQ(decoded(utf16(u"kind,question\r\n四択,日本\r\n", false)), expected);
    EXPECT_EQ(decoded(utf16(u"kind,question\r\n四択,日本\r\n", true)), expected);
}

// Half-width katakana "ｱｲ" in Shift-JIS (0xB1 0xB2) is no UTF-8; "ﾃｱ"
// (0xC3 0xB1) is also the UTF-8 of "ñ". Told, the encoding is taken.
TEST(TableFile, AGivenEncodingOverridesTheBytes)
{
    EXPECT_EQ(decoded("kind,question\r\nox,\xB1\xB2\r\n")[1][1], "\xB1\xB2");
    const DecodedTable guessed = decodeTable("kind,question\r\nox,\xC3\xB1\r\n", ',', std::nullopt);
    EXPECT_EQ(findingsOf(guessed), "2/question:シフトJIS (コードページ 932) にない文字 U+00F1 があります\n"
                                   "0/:表がシフトJISで書かれているなら、--encoding shift_jis を付けるとシフトJISとして読みます\n");
    EXPECT_EQ(decoded("kind,question\r\nox,\xC3\xB1\r\n", TableEncoding::ShiftJis)[1][1], "\xC3\xB1");
    const DecodedTable notUtf8 = decodeTable("kind,question\r\nox,\xB1\xB2\r\n", ',', TableEncoding::Utf8);
    EXPECT_EQ(findingsOf(notUtf8), "2/question:UTF-8 として読めないバイトがあります\n");
}

// The JIS forms of tables made on macOS or Linux are the characters that
// Windows shows in their place; where code page 932 holds a character
// twice, the IBM code is written, as Windows writes it.
TEST(TableFile, CharactersBecomeTheCodesWindowsWrites)
{
    const std::pair<const char*, const char*> forms[] = {
        {"\xE3\x80\x9C", "\x81\x60"}, // U+301C WAVE DASH
        {"\xEF\xBD\x9E", "\x81\x60"}, // U+FF5E FULLWIDTH TILDE
        {"\xE2\x80\x96", "\x81\x61"}, // U+2016 DOUBLE VERTICAL LINE
        {"\xE2\x88\x92", "\x81\x7C"}, // U+2212 MINUS SIGN
        {"\xC2\xA2", "\x81\x91"},     // U+00A2 CENT SIGN
        {"\xC2\xA3", "\x81\x92"},     // U+00A3 POUND SIGN
        {"\xC2\xAC", "\x81\xCA"},     // U+00AC NOT SIGN
        {"\xE2\x80\x94", "\x81\x5C"}, // U+2014 EM DASH
        {"\xE7\xBA\x8A", "\xFA\x5C"}, // U+7E8A, NEC-selected 0xED40 or IBM 0xFA5C
        {"\xE2\x85\xB0", "\xFA\x40"}, // U+2170 SMALL ROMAN NUMERAL ONE
        {"\xE2\x85\xA0", "\x87\x54"}, // U+2160 ROMAN NUMERAL ONE: NEC row 13
        {"\xE2\x88\xB5", "\x81\xE6"}, // U+2235 BECAUSE: the JIS code
    };
    for (const auto& [utf8, shiftJis] : forms) {
        SCOPED_TRACE(shiftJis);
        EXPECT_EQ(decoded(std::string("kind,question\r\nox,") + utf8 + "\r\n")[1][1], shiftJis);
    }
}

TEST(TableFile, ACharacterCodePage932CannotHoldIsRefusedWithItsPlace)
{
    // YEN SIGN and OVERLINE would turn into "\" and "~"; é and the emoji
    // have no code at all.
    const DecodedTable table = decodeTable(kUtf8Mark + "kind,question,answer\r\nox,\xC2\xA5,\xE2\x80\xBE\r\n"
                                                       "ox,ok,caf\xC3\xA9\r\nox,\xF0\x9F\x98\x80,\r\n",
                                           ',', std::nullopt);
    EXPECT_EQ(findingsOf(table), "2/question:シフトJIS (コードページ 932) にない文字 U+00A5 があります\n"
                                 "2/answer:シフトJIS (コードページ 932) にない文字 U+203E があります\n"
                                 "3/answer:シフトJIS (コードページ 932) にない文字 U+00E9 があります\n"
                                 "4/question:シフトJIS (コードページ 932) にない文字 U+1F600 があります\n");
    EXPECT_EQ(table.rows[2][1], "ok");
    EXPECT_EQ(table.rows[2][2], "");
}

TEST(TableFile, BytesThatAreNoTextAndControlCharactersAreRefused)
{
    const DecodedTable shiftJis = decodeTable("kind,question\r\nox,\x81\r\nox,a\x01" "b\r\n", ',', TableEncoding::ShiftJis);
    EXPECT_EQ(findingsOf(shiftJis), "2/question:シフトJISとして読めないバイトがあります\n"
                                    "3/question:クイズファイルに書けない制御文字 U+0001 があります\n");
    EXPECT_EQ(findingsOf(decodeTable("\xFF\xFE" "k", ',', std::nullopt)), "0/:UTF-16 として読めません (バイト数が奇数です)\n");
}

// A surrogate without its pair names its cell, in either byte order and
// wherever it stands; a pair is one character.
TEST(TableFile, ALoneSurrogateInUtf16NamesItsCell)
{
    const std::string lone = "2/question:UTF-16 として読めません (対になっていないサロゲートがあります)\n";
    for (const bool bigEndian : {false, true}) {
        EXPECT_EQ(findingsOf(decodeTable(utf16(u"kind,question\r\nox,a\xD800\r\n", bigEndian), ',', std::nullopt)), lone);
        EXPECT_EQ(findingsOf(decodeTable(utf16(u"kind,question\r\nox,\xDC00" "b\r\nox,c\r\n", bigEndian), ',', std::nullopt)),
                  lone);
        EXPECT_EQ(findingsOf(decodeTable(utf16(u"kind,question\r\nox,\xD83D\xDE00\r\n", bigEndian), ',', std::nullopt)),
                  "2/question:シフトJIS (コードページ 932) にない文字 U+1F600 があります\n");
    }
    EXPECT_EQ(findingsOf(decodeTable(utf16(u"kind,q\xD800\r\n", false), ',', std::nullopt)),
              "1/#2:UTF-16 として読めません (対になっていないサロゲートがあります)\n");
}

// A column name that cannot be read is named by its number, never by its
// bytes, and its column's cells by that number too.
TEST(TableFile, AColumnNameThatCannotBeReadIsNamedByItsNumber)
{
    const DecodedTable table = decodeTable(kUtf8Mark + "kind,question\xF0\x9F\x98\x80,answer\r\nox,\xF0\x9F\x98\x80,\x01\r\n", ',',
                                           std::nullopt);
    EXPECT_EQ(findingsOf(table), "1/#2:シフトJIS (コードページ 932) にない文字 U+1F600 があります\n"
                                 "2/#2:シフトJIS (コードページ 932) にない文字 U+1F600 があります\n"
                                 "2/answer:クイズファイルに書けない制御文字 U+0001 があります\n");
    EXPECT_EQ(table.unreadableNames, std::vector<std::size_t>{1});
    EXPECT_EQ(table.rows[0], (TableRow{"kind", "", "answer"}));
    // "ï»¿kind": a UTF-8 byte-order mark read as a Western code page.
    const DecodedTable marked = decodeTable("\xC3\xAF\xC2\xBB\xC2\xBFkind\r\nox\r\n", ',', TableEncoding::Utf8);
    EXPECT_EQ(findingsOf(marked), "1/#1:シフトJIS (コードページ 932) にない文字 U+00EF があります\n");
}

// The hint to name Shift-JIS only where the same bytes are Shift-JIS text:
// "ﾃｩ" is, an emoji's four bytes of UTF-8 are not.
TEST(TableFile, TheShiftJisHintOnlyWhereShiftJisCouldBeMeant)
{
    const std::string hint = "0/:表がシフトJISで書かれているなら、--encoding shift_jis を付けるとシフトJISとして読みます\n";
    const std::string findings = findingsOf(decodeTable("kind,question\r\nox,\xC3\xA9\r\n", ',', std::nullopt));
    EXPECT_NE(findings.find(hint), std::string::npos) << findings;
    const std::string emoji = findingsOf(decodeTable("kind,question\r\nox,\xF0\x9F\x98\x80\r\n", ',', std::nullopt));
    EXPECT_EQ(emoji, "2/question:シフトJIS (コードページ 932) にない文字 U+1F600 があります\n");
}

// Cells of UTF-8 beside cells that can only be Shift-JIS: the table is
// read in the encoding most cells have, and the others are named.
TEST(TableFile, MixedEncodingsNameTheCellsOfTheFewerKind)
{
    const std::string nihonUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC", mondaiUtf8 = "\xE5\x95\x8F\xE9\xA1\x8C";
    const DecodedTable mostlyUtf8 =
        decodeTable("kind,question,answer\r\nox," + nihonUtf8 + "," + mondaiUtf8 + "\r\nox,a,日本\r\n", ',', std::nullopt);
    EXPECT_EQ(findingsOf(mostlyUtf8),
              "3/answer:このセルは シフトJIS で、表のほかのセルは UTF-8 です。表を一つの文字コードで保存し直してください\n");
    EXPECT_EQ(mostlyUtf8.rows[1], (TableRow{"ox", "日本", "問題"}));
    const DecodedTable mostlyShiftJis =
        decodeTable("kind,question,answer\r\nox,日本,問題\r\nox," + nihonUtf8 + ",ｱ\r\n", ',', std::nullopt);
    EXPECT_EQ(findingsOf(mostlyShiftJis),
              "3/question:このセルは UTF-8 で、表のほかのセルは シフトJIS です。表を一つの文字コードで保存し直してください\n");
    EXPECT_EQ(mostlyShiftJis.rows[2], (TableRow{"ox", "", "ｱ"}));
}

// Workbooks and other files that are no text never reach the table reader.
TEST(TableFile, FilesOfOtherKindsAreToldByTheirFirstBytes)
{
    EXPECT_NE(notTextReason(std::string("PK\x03\x04\x14\0\0\0", 8)), nullptr);
    EXPECT_NE(notTextReason("PK\x05\x06"), nullptr);
    EXPECT_NE(notTextReason(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)), nullptr);
    EXPECT_EQ(notTextReason("PK,kind\r\n"), nullptr);
    EXPECT_EQ(notTextReason(kUtf8Mark + "kind"), nullptr);
    EXPECT_EQ(notTextReason(""), nullptr);
}

TEST(TableFile, AQuoteLeftOpenIsAFindingOfItsRow)
{
    EXPECT_EQ(findingsOf(decodeTable("kind\r\nox\r\n\"ox\r\n", ',', std::nullopt)),
              "3/:引用符 \" が閉じられないまま表が終わっています\n");
}


// Rows taken one at a time into the same row, as the import takes them:
// each row is exactly its own cells, whatever the row before held.
TEST(TableFile, RowsReadOneAtATimeAreEachTheirOwn)
{
    DecodedRows rows("kind,question,answer\r\nox,日本,a,extra\r\nox\r\n\r\nox,\x01\r\n", ',', std::nullopt);
    std::vector<TableRow> seen;
    for (TableRow row; rows.next(row);)
        seen.push_back(row);
    EXPECT_EQ(seen, (Rows{{"kind", "question", "answer"}, {"ox", "日本", "a", "extra"}, {"ox"}, {""}, {"ox", ""}}));
    EXPECT_FALSE(rows.next(seen.front()));
    EXPECT_EQ(findingsOf(DecodedTable{{}, rows.takeFindings(), {}}),
              "5/question:クイズファイルに書けない制御文字 U+0001 があります\n");
}

// A header the import cannot use still lets every row be read and told:
// the findings of the cells come with the header's.
TEST(TableFile, AHeaderWithoutKindStillHasItsRowsRead)
{
    const std::string bytes = kUtf8Mark + "question\r\n\xF0\x9F\x98\x80\r\n";
    DecodedRows rows(bytes, ',', std::nullopt);
    const ImportedProblems imported = problemsFromRows(rows);
    EXPECT_EQ(imported.names, TableRow{"question"});
    EXPECT_FALSE(imported.findings.empty());
    EXPECT_EQ(findingsOf(DecodedTable{{}, rows.takeFindings(), {}}),
              "2/question:シフトJIS (コードページ 932) にない文字 U+1F600 があります\n");
}

} // namespace
