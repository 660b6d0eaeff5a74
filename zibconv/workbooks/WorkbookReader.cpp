#include "zibconv/workbooks/WorkbookReader.h"

#include "text/LineBreaks.h"
#include "text/Unicode.h"

#include <expat.h>
#include <minizip/unzip.h>

#include <algorithm>
#include <charconv>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace {

const char kFix[] = "。列の書式を「文字列」にして入力し直してください";

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A workbook's string writes a character as "_xHHHH_" (a literal "_x" run
// as "_x005F_x"): each such run is its character again, as UTF-8.
std::string unescapedRuns(const std::string& text)
{
    if (text.find("_x") == std::string::npos)
        return text;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 2, text.begin() + static_cast<std::ptrdiff_t>(i) + 6,
                        isHexDigit)) {
            unsigned code = 0;
            std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16);
            appendUtf8(out, code);
            i += 6;
            continue;
        }
        out += text[i];
    }
    return out;
}

struct CloseZip {
    void operator()(void* zip) const { unzClose(zip); }
};
using Zip = std::unique_ptr<void, CloseZip>;

struct FreeParser {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
using Parser = std::unique_ptr<XML_ParserStruct, FreeParser>;

// Why a part could not be read, in Shift-JIS.
struct PartFault {
    std::string message;
};

// A part that is missing or cannot be read: the workbook is damaged, and
// saving it as CSV would not help.
PartFault damaged(const std::string& what)
{
    return {"ブックが壊れています (" + what + ")。表計算ソフトで開けるなら、.xlsx として保存し直してください"};
}

std::string_view localName(const XML_Char* name)
{
    const std::string_view full(name);
    const std::size_t bar = full.rfind('|');
    return bar == std::string_view::npos ? full : full.substr(bar + 1);
}

// An element's attributes by local name, read where the parser holds them:
// a sheet has a few for each of its many cells, none of which is kept.
class Attributes {
public:
    explicit Attributes(const XML_Char** parserAttributes) : all(parserAttributes) {}

    // The first of that local name, as the parser holds it during the call.
    std::optional<std::string_view> get(std::string_view name) const
    {
        for (const XML_Char** a = all; *a; a += 2)
            if (localName(a[0]) == name)
                return std::string_view(a[1]);
        return std::nullopt;
    }

    // All of them, the first of each local name, to keep.
    std::map<std::string, std::string, std::less<>> copied() const
    {
        std::map<std::string, std::string, std::less<>> kept;
        for (const XML_Char** a = all; *a; a += 2)
            kept.emplace(localName(a[0]), a[1]);
        return kept;
    }

private:
    const XML_Char** all;
};

// What a part's elements are handed to: local names, attributes by local
// name.
class PartHandler {
public:
    virtual void start(std::string_view name, const Attributes& attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view text) = 0;
    virtual ~PartHandler() = default;
};

struct ParseState {
    PartHandler& handler;
    XML_Parser parser;
    std::exception_ptr thrown = nullptr; // the first thing a handler threw
};

// Nothing may be thrown through expat's C frames: what a handler throws is
// kept and the parser stopped; the part's reading throws it again once
// XML_Parse has returned. Expat may still call after the stop: those calls
// are ignored.
template <class Work>
void guarded(void* data, Work work)
{
    auto& state = *static_cast<ParseState*>(data);
    if (state.thrown)
        return;
    try {
        work(state.handler);
    } catch (...) {
        state.thrown = std::current_exception();
        XML_StopParser(state.parser, XML_FALSE);
    }
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    guarded(data, [&](PartHandler& handler) { handler.start(localName(name), Attributes(attributes)); });
}

void XMLCALL onEnd(void* data, const XML_Char* name)
{
    guarded(data, [&](PartHandler& handler) { handler.end(localName(name)); });
}

void XMLCALL onText(void* data, const XML_Char* text, int length)
{
    guarded(data, [&](PartHandler& handler) {
        handler.text(std::string_view(text, static_cast<std::size_t>(length)));
    });
}

// No part of a workbook has a document type; one could declare entities.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    XML_StopParser(static_cast<ParseState*>(data)->parser, XML_FALSE);
}

class WorkbookFile {
public:
    explicit WorkbookFile(const std::string& path) : zip(unzOpen64(path.c_str())) {}

    bool isZip() const { return zip != nullptr; }
    bool has(const std::string& part) const { return unzLocateFile(zip.get(), part.c_str(), 0) == UNZ_OK; }

    // Whether any part's name starts with `folder`.
    bool hasUnder(std::string_view folder) const
    {
        char name[512];
        for (int at = unzGoToFirstFile(zip.get()); at == UNZ_OK; at = unzGoToNextFile(zip.get())) {
            if (unzGetCurrentFileInfo64(zip.get(), nullptr, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK &&
                std::string_view(name).starts_with(folder))
                return true;
        }
        return false;
    }

    // Streams the part through expat, inflating a piece at a time and
    // counting what it inflates: false when there is no such part.
    bool parse(const std::string& part, PartHandler& handler)
    {
        if (unzLocateFile(zip.get(), part.c_str(), 0) != UNZ_OK)
            return false;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            throw damaged("中の " + part + " を読めません");
        if (info.flag & 1)
            throw PartFault{"ブックが暗号化されています。パスワードを外して保存し直してください"};
        if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
            throw PartFault{"ブックの中の " + part + " の圧縮形式を読めません"};
        if (unzOpenCurrentFile(zip.get()) != UNZ_OK)
            throw damaged("中の " + part + " を読めません");
        Parser parser(XML_ParserCreateNS(nullptr, '|'));
        ParseState state{handler, parser.get()};
        XML_SetUserData(parser.get(), &state);
        XML_SetElementHandler(parser.get(), onStart, onEnd);
        XML_SetCharacterDataHandler(parser.get(), onText);
        XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);
        std::size_t partBytes = 0;
        char buffer[1 << 16];
        for (;;) {
            const int got = unzReadCurrentFile(zip.get(), buffer, sizeof buffer);
            if (got < 0) {
                unzCloseCurrentFile(zip.get());
                throw damaged("中の " + part + " が壊れています");
            }
            partBytes += static_cast<std::size_t>(got);
            totalBytes += static_cast<std::size_t>(got);
            if (partBytes > kMaxWorkbookPartBytes || totalBytes > kMaxWorkbookBytes) {
                unzCloseCurrentFile(zip.get());
                throw PartFault{"ブックの中身が大きすぎます (展開すると " + std::to_string(kMaxWorkbookPartBytes >> 20) +
                                " MB を超える部分か、合わせて " + std::to_string(kMaxWorkbookBytes >> 20) +
                                " MB を超える部分があります)"};
            }
            const XML_Status status = XML_Parse(parser.get(), buffer, got, got == 0);
            if (state.thrown || status != XML_STATUS_OK) {
                unzCloseCurrentFile(zip.get());
                if (state.thrown)
                    std::rethrow_exception(state.thrown);
                throw damaged("中の " + part + " が XML として読めません");
            }
            if (got == 0)
                break;
        }
        // A damaged entry is only told by its checksum at the end.
        if (unzCloseCurrentFile(zip.get()) != UNZ_OK)
            throw damaged("中の " + part + " が壊れています");
        return true;
    }

private:
    Zip zip;
    std::size_t totalBytes = 0;
};

// Collects one kind of element's attributes, in document order.
class AttributeCollector : public PartHandler {
public:
    explicit AttributeCollector(std::string element) : name(std::move(element)) {}
    void start(std::string_view element, const Attributes& attributes) override
    {
        if (element == name)
            found.push_back(attributes.copied());
    }
    void end(std::string_view) override {}
    void text(std::string_view) override {}

    std::string name;
    std::vector<std::map<std::string, std::string, std::less<>>> found;
};

// Texts of <t> inside each <si>, or inside a cell's <is>; phonetic runs
// (<rPh>) are no part of the text.
class TextCollector {
public:
    void start(std::string_view name)
    {
        if (name == "rPh")
            ++phonetic;
        else if (name == "t" && phonetic == 0)
            inText = true;
    }
    void end(std::string_view name)
    {
        if (name == "rPh")
            --phonetic;
        else if (name == "t")
            inText = false;
    }
    void text(std::string_view text)
    {
        if (inText)
            collected.append(text);
    }

    std::string collected;

private:
    int phonetic = 0;
    bool inText = false;
};

class SharedStrings : public PartHandler {
public:
    void start(std::string_view name, const Attributes&) override
    {
        if (name == "si") {
            if (strings.size() == kMaxSharedStrings)
                throw PartFault{"ブックの共有文字列が多すぎます (" + std::to_string(kMaxSharedStrings) + " 個まで)"};
            texts = TextCollector();
        }
        texts.start(name);
    }
    void end(std::string_view name) override
    {
        texts.end(name);
        if (name == "si")
            strings.push_back(unescapedRuns(texts.collected));
    }
    void text(std::string_view text) override { texts.text(text); }

    std::vector<std::string> strings;

private:
    TextCollector texts;
};

// Whether a number format shows a date or a time: the built-in ones
// (Japanese included), or a code with a date or time part outside quotes,
// brackets and escapes.
bool isDateFormat(int id, const std::string& code)
{
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
        return true;
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\' || c == '_' || c == '*')
            ++i;
        else if (c == '[') {
            const std::size_t close = code.find(']', i);
            const std::string inside = code.substr(i + 1, close == std::string::npos ? 0 : close - i - 1);
            if (!inside.empty() && std::string_view("hHmMsS").find(inside[0]) != std::string_view::npos)
                return true; // elapsed time, [h]:mm
            i = close == std::string::npos ? code.size() : close;
        } else if ((c == 'E' || c == 'e') && i + 1 < code.size() && (code[i + 1] == '+' || code[i + 1] == '-')) {
            ++i; // scientific: 0.00E+00
        } else if (std::string_view("yYmMdDhHsSeEgG").find(c) != std::string_view::npos) {
            if ((c == 'G' || c == 'g') && code.compare(i, 7, "General") == 0) {
                i += 6;
                continue;
            }
            return true;
        }
    }
    return false;
}

class Styles : public PartHandler {
public:
    void start(std::string_view name, const Attributes& attributes) override
    {
        if (name == "numFmt")
            codes[number(attributes, "numFmtId")] = attributes.get("formatCode").value_or("");
        else if (name == "cellXfs")
            inCellFormats = true;
        else if (name == "xf" && inCellFormats)
            formats.push_back(number(attributes, "numFmtId"));
    }
    void end(std::string_view name) override
    {
        if (name == "cellXfs")
            inCellFormats = false;
    }
    void text(std::string_view) override {}

    bool isDate(std::size_t style) const
    {
        if (style >= formats.size())
            return false;
        const int id = formats[style];
        const auto code = codes.find(id);
        return isDateFormat(id, code == codes.end() ? std::string() : code->second);
    }

private:
    static int number(const Attributes& attributes, const char* name)
    {
        const std::optional<std::string_view> found = attributes.get(name);
        int value = 0;
        if (found)
            std::from_chars(found->data(), found->data() + found->size(), value);
        return value;
    }

    std::map<int, std::string> codes;
    std::vector<int> formats;
    bool inCellFormats = false;
};

std::optional<std::pair<std::size_t, std::size_t>> parseReference(std::string_view reference)
{
    std::size_t column = 0, i = 0;
    while (i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && column <= kMaxWorkbookColumns)
        column = column * 26 + static_cast<std::size_t>(reference[i++] - 'A' + 1);
    std::size_t row = 0;
    const auto [end, error] = std::from_chars(reference.data() + i, reference.data() + reference.size(), row);
    if (i == 0 || error != std::errc() || end != reference.data() + reference.size() || row == 0)
        return std::nullopt;
    return std::pair{column - 1, row};
}

// The cells of the worksheet, each decided when it ends.
class Sheet : public PartHandler {
public:
    Sheet(const std::vector<std::string>& shared, const Styles& cellStyles, WorkbookTable& into)
        : strings(shared), styles(cellStyles), table(into)
    {
    }

    void start(std::string_view name, const Attributes& attributes) override
    {
        if (name == "row") {
            const std::optional<std::string_view> r = attributes.get("r");
            std::size_t number = rowNumber + 1;
            if (r)
                std::from_chars(r->data(), r->data() + r->size(), number);
            rowNumber = number;
            column = 0;
            if (rowNumber == 0 || rowNumber > kMaxWorkbookRows)
                throw PartFault{"ブックの行が多すぎます (" + std::to_string(kMaxWorkbookRows) + " 行まで)"};
        } else if (name == "c") {
            cell = Cell();
            if (const std::optional<std::string_view> r = attributes.get("r")) {
                const auto place = parseReference(*r);
                if (!place || place->first >= kMaxWorkbookColumns || place->second > kMaxWorkbookRows)
                    throw PartFault{"ブックのセル参照 " + std::string(r->substr(0, 16)) + " は読めません (列は XFD、行は " +
                                    std::to_string(kMaxWorkbookRows) + " まで)"};
                column = place->first;
                rowNumber = place->second;
            }
            if (column >= kMaxWorkbookColumns)
                throw PartFault{"ブックの列が多すぎます (XFD 列まで)"};
            cell.type = attributes.get("t").value_or("n");
            if (const std::optional<std::string_view> s = attributes.get("s"))
                std::from_chars(s->data(), s->data() + s->size(), cell.style);
        } else if (name == "v") {
            inValue = true;
            cell.hasValue = true;
        } else if (name == "f") {
            cell.hasFormula = true;
        }
        cell.inline_.start(name);
    }

    void end(std::string_view name) override
    {
        cell.inline_.end(name);
        if (name == "v") {
            inValue = false;
        } else if (name == "c") {
            place(decide());
            ++column;
        } else if (name == "row" && rowNumber <= table.rows.size()) {
            // Grown cell by cell, a row has room for more cells than it
            // holds; a sheet of many rows is held whole until it is read.
            table.rows[rowNumber - 1].shrink_to_fit();
        }
    }

    void text(std::string_view text) override
    {
        if (inValue)
            cell.value.append(text);
        cell.inline_.text(text);
    }

private:
    struct Cell {
        std::string type;
        std::size_t style = 0;
        std::string value;
        TextCollector inline_;
        bool hasValue = false;
        bool hasFormula = false;
    };

    void refuse(const std::string& message) { table.findings.push_back(finding(message)); }
    void notice(const std::string& message) { table.notices.push_back(finding(message)); }
    TableFinding finding(const std::string& message) const
    {
        TableFinding found{rowNumber, "", message, column + 1};
        found.cell = cellName(column, rowNumber);
        return found;
    }

    std::optional<std::string> decide()
    {
        const std::string& type = cell.type;
        if (type == "s") {
            std::size_t index = 0;
            const auto [end, error] = std::from_chars(cell.value.data(), cell.value.data() + cell.value.size(), index);
            if (error != std::errc() || index >= strings.size()) {
                refuse("共有文字列の番号 " + cell.value.substr(0, 16) + " がありません");
                return std::nullopt;
            }
            return strings[index];
        }
        if (type == "inlineStr")
            return unescapedRuns(cell.inline_.collected);
        if (type == "str") {
            // A formula's string result, or (as SheetJS writes them) a plain
            // string without a formula.
            if (cell.hasFormula)
                notice("数式のセルです。その結果の文字列を読みます");
            return unescapedRuns(cell.value);
        }
        if (type == "b") {
            refuse(std::string("真偽値 (TRUE/FALSE) のセルです") + kFix);
            return std::nullopt;
        }
        if (type == "e") {
            refuse(std::string("エラー値のセルです") + kFix);
            return std::nullopt;
        }
        if (type == "d") {
            refuse(std::string("日付のセルです") + kFix);
            return std::nullopt;
        }
        if (!cell.hasValue) {
            if (cell.hasFormula)
                refuse(std::string("結果の保存されていない数式のセルです") + kFix);
            return std::nullopt;
        }
        if (styles.isDate(cell.style)) {
            refuse(std::string("日付か時刻のセルです") + kFix);
            return std::nullopt;
        }
        double number = 0;
        const auto [end, error] = std::from_chars(cell.value.data(), cell.value.data() + cell.value.size(), number);
        if (error != std::errc() || end != cell.value.data() + cell.value.size()) {
            refuse("数値のセルの値 " + cell.value.substr(0, 32) + " を読めません");
            return std::nullopt;
        }
        char text[32];
        const auto written = std::to_chars(text, text + sizeof text, number);
        std::string shortest(text, written.ptr);
        notice((cell.hasFormula ? "数式のセルです。その結果の数値を文字 " : "数値のセルです。文字 ") + shortest +
               " として読みます");
        return shortest;
    }

    void place(std::optional<std::string> text)
    {
        if (!text || text->empty())
            return;
        std::vector<TableRow>& rows = table.rows;
        if (rows.size() < rowNumber)
            rows.resize(rowNumber);
        TableRow& row = rows[rowNumber - 1];
        if (row.size() <= column)
            row.resize(column + 1);
        row[column] = std::move(*text);
    }

    const std::vector<std::string>& strings;
    const Styles& styles;
    WorkbookTable& table;
    std::size_t rowNumber = 0;
    std::size_t column = 0;
    Cell cell;
    bool inValue = false;
};

// The first worksheet's part, through the workbook's relationships.
std::string firstSheetPart(WorkbookFile& file)
{
    AttributeCollector sheets("sheet");
    file.parse("xl/workbook.xml", sheets);
    if (sheets.found.empty())
        throw damaged("ワークシートがありません");
    const std::string id = sheets.found.front().count("id") ? sheets.found.front().at("id") : "";
    AttributeCollector relationships("Relationship");
    if (!file.parse("xl/_rels/workbook.xml.rels", relationships))
        throw damaged("中の xl/_rels/workbook.xml.rels がありません");
    for (const auto& relationship : relationships.found) {
        const auto found = relationship.find("Id");
        if (found == relationship.end() || found->second != id || !relationship.count("Target"))
            continue;
        const std::string& target = relationship.at("Target");
        return target.starts_with('/') ? target.substr(1) : "xl/" + target;
    }
    throw damaged("最初のワークシートが見つかりません");
}

// Line breaks as the table reader gives them: CR LF.
void crLfLineBreaks(std::vector<TableRow>& rows)
{
    for (TableRow& row : rows)
        for (std::string& cell : row)
            cell = anyBreaksAsCrLf(std::move(cell));
}

} // namespace

std::string cellName(std::size_t column, std::size_t row)
{
    std::string letters;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(row);
}

WorkbookTable readWorkbook(const std::string& path)
{
    WorkbookTable table;
    WorkbookFile file(path);
    // A zip that cannot be read has lost its directory at the end (a
    // workbook cut short): a workbook, damaged, not a zip to save as CSV.
    if (!file.isZip()) {
        table.status = WorkbookTable::Status::Unreadable;
        table.findings.push_back({0, "", damaged("zip として最後まで読めません").message});
        return table;
    }
    try {
        // Parts under xl/ without xl/workbook.xml: a workbook that lost it.
        if (!file.has("xl/workbook.xml")) {
            if (!file.hasUnder("xl/")) {
                table.status = WorkbookTable::Status::NotAWorkbook;
                return table;
            }
            throw damaged("中の xl/workbook.xml がありません");
        }
        const std::string sheetPart = firstSheetPart(file);
        SharedStrings shared;
        file.parse("xl/sharedStrings.xml", shared);
        Styles styles;
        file.parse("xl/styles.xml", styles);
        Sheet sheet(shared.strings, styles, table);
        if (!file.parse(sheetPart, sheet))
            throw damaged("中の " + sheetPart + " がありません");
    } catch (const PartFault& fault) {
        table = WorkbookTable{WorkbookTable::Status::Refused, {}, {{0, "", fault.message}}, {}};
        return table;
    }
    crLfLineBreaks(table.rows);
    return table;
}
