// The workbook reader over workbooks made part by part: every kind of
// cell, sparse and reordered rows and columns, a second worksheet, and
// hostile workbooks refused in bounded time and memory.
#include "TestFiles.h"

#include "zibconv/workbooks/WorkbookReader.h"

#include <minizip/zip.h>

#include <gtest/gtest.h>

#include <map>

namespace {

using Parts = std::map<std::string, std::string>;

const char kMain[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// A zip of the parts, deflated; `huge` is a part of that many spaces.
void writeZip(const std::string& path, const Parts& parts, const std::string& hugePart = "", std::size_t huge = 0)
{
    zipFile zip = zipOpen64(path.c_str(), 0);
    ASSERT_NE(zip, nullptr);
    auto add = [&](const std::string& name, const std::function<void()>& write) {
        ASSERT_EQ(zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                        Z_DEFAULT_COMPRESSION, 1),
                  ZIP_OK);
        write();
        ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    };
    for (const auto& [name, content] : parts)
        add(name, [&] { zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())); });
    if (huge != 0)
        add(hugePart, [&] {
            const std::string start = std::string("<worksheet xmlns=\"") + kMain + "\"><sheetData>";
            zipWriteInFileInZip(zip, start.data(), static_cast<unsigned>(start.size()));
            const std::string spaces(1 << 20, ' ');
            for (std::size_t written = 0; written < huge; written += spaces.size())
                zipWriteInFileInZip(zip, spaces.data(), static_cast<unsigned>(spaces.size()));
        });
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

// A workbook of one worksheet (and a second one), with shared strings and
// styles: style 1 a date, style 2 text, style 3 a custom time format.
Parts workbook(const std::string& sheetData, const std::string& sharedStrings = "")
{
    const std::string ns = std::string(" xmlns=\"") + kMain + "\"";
    const std::string rels = " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    return {
        {"[Content_Types].xml", "<Types/>"},
        {"xl/workbook.xml", "<workbook" + ns + rels + "><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId7\"/>"
                            "<sheet name=\"b\" sheetId=\"2\" r:id=\"rId8\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId8\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId7\" Target=\"/xl/worksheets/first.xml\"/></Relationships>"},
        {"xl/worksheets/first.xml", "<worksheet" + ns + "><sheetData>" + sheetData + "</sheetData></worksheet>"},
        {"xl/worksheets/sheet1.xml", "<worksheet" + ns + "><sheetData><row r=\"1\"><c r=\"A1\" t=\"b\"><v>1</v></c>"
                                     "</row></sheetData></worksheet>"},
        {"xl/sharedStrings.xml", "<sst" + ns + ">" + sharedStrings + "</sst>"},
        {"xl/styles.xml", "<styleSheet" + ns + "><numFmts><numFmt numFmtId=\"170\" formatCode=\"[h]:mm\"/>"
                          "<numFmt numFmtId=\"171\" formatCode=\"0.00E+00\"/></numFmts><cellXfs>"
                          "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"49\"/><xf numFmtId=\"170\"/>"
                          "<xf numFmtId=\"171\"/></cellXfs></styleSheet>"},
    };
}

std::string listed(const std::vector<TableFinding>& findings)
{
    std::string out;
    for (const TableFinding& finding : findings)
        out += (finding.cell.empty() ? std::to_string(finding.row) : finding.cell) + ":" + finding.message + "\n";
    return out;
}

class WorkbookReader : public ::testing::Test {
protected:
    WorkbookTable read(const Parts& parts)
    {
        writeZip(path, parts);
        return readWorkbook(path);
    }

    TestFolder folder;
    const std::string path = folder.path("book.xlsx");
};

TEST_F(WorkbookReader, EveryKindOfCell)
{
    const WorkbookTable table = read(workbook(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"inlineStr\"><is><t>in</t></is></c>"
        "<c r=\"C1\" t=\"s\"><v>1</v></c><c r=\"D1\"><v>7</v></c><c r=\"E1\" s=\"2\"><v>0.5</v></c>"
        "<c r=\"F1\" s=\"4\"><v>1192</v></c><c r=\"G1\" t=\"str\"><f>A1</f><v>x</v></c>"
        "<c r=\"H1\"><f>1+1</f><v>2</v></c><c r=\"I1\" t=\"s\"><v>2</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>45000</v></c><c r=\"B2\" s=\"3\"><v>0.5</v></c>"
        "<c r=\"C2\" t=\"b\"><v>1</v></c><c r=\"D2\" t=\"e\"><v>#N/A</v></c><c r=\"E2\"><f>A1</f></c>"
        "<c r=\"F2\" t=\"d\"><v>2024-01-02</v></c><c r=\"G2\" t=\"s\"><v>9</v></c></row>",
        "<si><t>shared</t></si><si><r><t>ri</t></r><r><rPr/><t>ch</t></r><rPh><t>furi</t></rPh></si>"
        "<si><t>a_x000D__x000A_b_x005F_x0041_</t></si>"));
    ASSERT_EQ(table.status, WorkbookTable::Status::Read);
    EXPECT_EQ(table.rows.front(),
              (TableRow{"shared", "in", "rich", "7", "0.5", "1192", "x", "2", "a\r\nb_x0041_"}));
    EXPECT_EQ(listed(table.notices), "D1:数値のセルです。文字 7 として読みます\n"
                                     "E1:数値のセルです。文字 0.5 として読みます\n"
                                     "F1:数値のセルです。文字 1192 として読みます\n"
                                     "G1:数式のセルです。その結果の文字列を読みます\n"
                                     "H1:数式のセルです。その結果の数値を文字 2 として読みます\n");
    const std::string fix = "。列の書式を「文字列」にして入力し直してください\n";
    EXPECT_EQ(listed(table.findings), "A2:日付か時刻のセルです" + fix + "B2:日付か時刻のセルです" + fix +
                                          "C2:真偽値 (TRUE/FALSE) のセルです" + fix + "D2:エラー値のセルです" + fix +
                                          "E2:結果の保存されていない数式のセルです" + fix + "F2:日付のセルです" + fix +
                                          "G2:共有文字列の番号 9 がありません\n");
}

// Cells stand where their references put them; rows and cells without a
// reference follow the one before; what is missing is empty.
TEST_F(WorkbookReader, SparseRowsAndCellsInAnyOrder)
{
    const WorkbookTable table = read(workbook("<row r=\"1\"><c r=\"C1\" t=\"inlineStr\"><is><t>c</t></is></c>"
                                              "<c r=\"A1\" t=\"inlineStr\"><is><t>a</t></is></c></row>"
                                              "<row r=\"4\"><c t=\"inlineStr\"><is><t>x</t></is></c>"
                                              "<c t=\"inlineStr\"><is><t>y</t></is></c></row><row><c/></row>"));
    EXPECT_EQ(table.rows, (std::vector<TableRow>{{"a", "", "c"}, {}, {}, {"x", "y"}}));
    EXPECT_EQ(listed(table.findings), "");
}

// A zip of no workbook's part is told as a zip, not read as a table.
TEST_F(WorkbookReader, WhatIsNoWorkbookIsToldSo)
{
    EXPECT_EQ(read({{"word/document.xml", "<document/>"}}).status, WorkbookTable::Status::NotAWorkbook);
    EXPECT_EQ(read({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}).status,
              WorkbookTable::Status::NotAWorkbook);
}

// A damaged workbook is told as one, so that nobody is sent to save a
// broken file as CSV: a zip that cannot be read (a workbook cut short has
// lost its directory at the end), a part missing or broken.
TEST_F(WorkbookReader, ADamagedWorkbookIsToldAsDamaged)
{
    const std::string fix = ")。表計算ソフトで開けるなら、.xlsx として保存し直してください\n";
    Parts noSheet = workbook("");
    noSheet.erase("xl/worksheets/first.xml");
    Parts noWorkbook = workbook("");
    noWorkbook.erase("xl/workbook.xml");
    Parts noRelationships = workbook("");
    noRelationships.erase("xl/_rels/workbook.xml.rels");
    Parts brokenWorkbook = workbook("");
    brokenWorkbook["xl/workbook.xml"] = "<workbook";
    const struct {
        const char* what;
        Parts parts;
        std::size_t cutAt; // 0 for the whole zip
        WorkbookTable::Status status;
        std::string message;
    } cases[] = {
        {"cut short", workbook(""), 300, WorkbookTable::Status::Unreadable, "zip として最後まで読めません"},
        {"cut before its directory's end", workbook("<row r=\"1\"><c t=\"str\"><v>x</v></c></row>"), 900,
         WorkbookTable::Status::Unreadable, "zip として最後まで読めません"},
        {"without its worksheet", noSheet, 0, WorkbookTable::Status::Refused, "中の xl/worksheets/first.xml がありません"},
        {"without workbook.xml", noWorkbook, 0, WorkbookTable::Status::Refused, "中の xl/workbook.xml がありません"},
        {"without relationships", noRelationships, 0, WorkbookTable::Status::Refused,
         "中の xl/_rels/workbook.xml.rels がありません"},
        {"a broken workbook.xml", brokenWorkbook, 0, WorkbookTable::Status::Refused,
         "中の xl/workbook.xml が XML として読めません"},
    };
    for (const auto& damaged : cases) {
        SCOPED_TRACE(damaged.what);
        writeZip(path, damaged.parts);
        if (damaged.cutAt)
            writeBytes(path, readBytes(path)->substr(0, damaged.cutAt));
        const WorkbookTable table = readWorkbook(path);
        EXPECT_EQ(table.status, damaged.status);
        EXPECT_TRUE(table.rows.empty());
        EXPECT_EQ(listed(table.findings), "0:ブックが壊れています (" + damaged.message + fix);
    }
    writeBytes(path, "PK\x03\x04 not really a zip");
    EXPECT_EQ(readWorkbook(path).status, WorkbookTable::Status::Unreadable);
}

// SheetJS writes plain strings as string cells without a formula: strings,
// with no notice; only a cell that holds a formula is told as one.
TEST_F(WorkbookReader, AStringCellWithoutAFormulaIsAPlainString)
{
    const WorkbookTable table =
        read(workbook("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>kind</v></c><c r=\"B1\" t=\"str\"><v>question</v></c>"
                      "<c r=\"C1\" t=\"str\"><v>answer</v></c></row>"
                      "<row r=\"2\"><c r=\"A2\" t=\"str\"><v>ox</v></c><c r=\"B2\" t=\"str\"><v>a_x000D__x000A_b</v></c>"
                      "<c r=\"C2\" t=\"str\"><f>\"o\"</f><v>o</v></c></row>"));
    ASSERT_EQ(table.status, WorkbookTable::Status::Read);
    EXPECT_EQ(table.rows, (std::vector<TableRow>{{"kind", "question", "answer"}, {"ox", "a\r\nb", "o"}}));
    EXPECT_EQ(listed(table.findings), "");
    EXPECT_EQ(listed(table.notices), "C2:数式のセルです。その結果の文字列を読みます\n");
}

// Most refusals are thrown from inside the parser's callbacks, some well
// into a part (the 16,385th cell of a row lies in the part's second piece
// of inflated bytes) with more after them: each comes out as the
// workbook's refusal, the first fault's text, and no rows.
TEST_F(WorkbookReader, HostileWorkbooksAreRefusedWithAClearMessage)
{
    std::string wideRow = "<row r=\"1\">";
    for (int i = 0; i < 16385; ++i)
        wideRow += "<c/>";
    wideRow += "</row>";
    std::string manyRows;
    for (int i = 2; i < 20000; ++i)
        manyRows += "<row r=\"" + std::to_string(i) + "\"><c t=\"inlineStr\"><is><t>x</t></is></c></row>";
    std::string manyStrings;
    for (int i = 0; i < 1000000; ++i)
        manyStrings += "<si><t>a</t></si>";
    Parts withDoctype = workbook("");
    withDoctype["xl/styles.xml"] = "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><styleSheet/>";
    const struct {
        const char* what;
        Parts parts;
        std::string refusal;
    } cases[] = {
        {"a column beyond XFD", workbook("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"),
         "ブックのセル参照 XFE1 は読めません (列は XFD、行は 1048576 まで)"},
        {"a cell's row beyond the last", workbook("<row r=\"1\"><c r=\"A1048577\"><v>1</v></c></row>"),
         "ブックのセル参照 A1048577 は読めません (列は XFD、行は 1048576 まで)"},
        {"a row beyond the last", workbook("<row r=\"1048577\"/>"), "ブックの行が多すぎます (1048576 行まで)"},
        {"two faults, the first told", workbook("<row r=\"1048577\"><c r=\"XFE1\"/></row>"),
         "ブックの行が多すぎます (1048576 行まで)"},
        {"cells beyond XFD without references", workbook(wideRow + manyRows), "ブックの列が多すぎます (XFD 列まで)"},
        {"too many shared strings", workbook("", manyStrings), "ブックの共有文字列が多すぎます (500000 個まで)"},
        {"a document type", withDoctype,
         "ブックが壊れています (中の xl/styles.xml が XML として読めません)。表計算ソフトで開けるなら、.xlsx として保存し直してください"},
        {"a sheet cut short", workbook("<row>"),
         "ブックが壊れています (中の xl/worksheets/first.xml が XML として読めません)。表計算ソフトで開けるなら、.xlsx "
         "として保存し直してください"},
    };
    for (const auto& hostile : cases) {
        SCOPED_TRACE(hostile.what);
        const WorkbookTable table = read(hostile.parts);
        EXPECT_EQ(table.status, WorkbookTable::Status::Refused);
        EXPECT_TRUE(table.rows.empty());
        EXPECT_EQ(listed(table.findings), "0:" + hostile.refusal + "\n");
    }
}

// Bit 0 of the general purpose flags marks an encrypted entry, in the
// local header (offset 6) and in the central directory (offset 8).
TEST_F(WorkbookReader, EncryptedEntriesAreRefused)
{
    writeZip(path, workbook(""));
    std::string bytes = *readBytes(path);
    for (std::size_t at = bytes.find("PK\x03\x04"); at != std::string::npos; at = bytes.find("PK\x03\x04", at + 4))
        bytes[at + 6] |= 1;
    for (std::size_t at = bytes.find("PK\x01\x02"); at != std::string::npos; at = bytes.find("PK\x01\x02", at + 4))
        bytes[at + 8] |= 1;
    writeBytes(path, bytes);
    const WorkbookTable table = readWorkbook(path);
    EXPECT_EQ(table.status, WorkbookTable::Status::Refused);
    EXPECT_EQ(listed(table.findings), "0:ブックが暗号化されています。パスワードを外して保存し直してください\n");
}

// A worksheet of 300 MB of spaces, a few hundred kilobytes deflated:
// refused once the bound is passed, without holding it.
TEST_F(WorkbookReader, APartInflatingBeyondTheBoundIsRefused)
{
    Parts parts = workbook("");
    parts.erase("xl/worksheets/first.xml");
    writeZip(path, parts, "xl/worksheets/first.xml", std::size_t{300} << 20);
    const WorkbookTable table = readWorkbook(path);
    EXPECT_EQ(table.status, WorkbookTable::Status::Refused);
    EXPECT_EQ(listed(table.findings),
              "0:ブックの中身が大きすぎます (展開すると 256 MB を超える部分か、合わせて 512 MB を超える部分があります)\n");
}

TEST(WorkbookCells, NamesAsSpreadsheetsGiveThem)
{
    EXPECT_EQ(cellName(0, 1), "A1");
    EXPECT_EQ(cellName(25, 12), "Z12");
    EXPECT_EQ(cellName(26, 3), "AA3");
    EXPECT_EQ(cellName(16383, 1048576), "XFD1048576");
}

} // namespace
