#include "zibconv/tables/QuizTable.h"
#include "zibconv/tables/TableFile.h"

#include "text/Encodings.h"
#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"

#include <algorithm>
#include <cstdio>

namespace {

// The UTF-16 of a table is read as UTF-8 with this byte, which no UTF-8
// holds, where a surrogate stands without its pair: the cell it is in is
// then named.
const char kLoneSurrogate = '\xFF';

enum class Source { Utf8, ShiftJis, Utf16LE, Utf16BE, Utf16 };

// Removes the byte-order mark. `guessed` tells that the bytes alone
// decided between UTF-8 and Shift-JIS.
Source sourceOf(std::string_view& bytes, std::optional<TableEncoding> given, bool& guessed)
{
    guessed = false;
    if (given == TableEncoding::ShiftJis)
        return Source::ShiftJis;
    if (bytes.starts_with(kUtf8Mark)) {
        bytes.remove_prefix(kUtf8Mark.size());
        return Source::Utf8;
    }
    if (given == TableEncoding::Utf8)
        return Source::Utf8;
    if (bytes.starts_with(kUtf16LEMark) || bytes.starts_with(kUtf16BEMark)) {
        const bool bigEndian = bytes.starts_with(kUtf16BEMark);
        bytes.remove_prefix(kUtf16BEMark.size());
        return bigEndian ? Source::Utf16BE : Source::Utf16LE;
    }
    guessed = true;
    return isValidUtf8(bytes) ? Source::Utf8 : Source::ShiftJis;
}

std::string hex(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// Characters no XML text may hold; the quiz file could not keep them.
std::optional<char> controlCharacterIn(std::string_view shiftJis)
{
    for (char c : shiftJis) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\r' && c != '\n')
            return c;
    }
    return std::nullopt;
}

// How a cell's bytes read when the table's bytes alone decide: Japanese in
// UTF-8 takes three bytes a character (a lead byte of 0xE0 or above); text
// that is no UTF-8 can only be Shift-JIS.
enum class CellBytes { Ascii, Utf8, ShiftJis, Either };

CellBytes cellBytesOf(std::string_view cell)
{
    if (isAscii(cell))
        return CellBytes::Ascii;
    if (!isValidUtf8(cell))
        return CellBytes::ShiftJis;
    const bool wide = std::any_of(cell.begin(), cell.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE0; });
    return wide ? CellBytes::Utf8 : CellBytes::Either;
}

const char* encodingName(Source source)
{
    return source == Source::ShiftJis ? "シフトJIS" : "UTF-8";
}

// Converts the cells to Shift-JIS, noting each that cannot be. Findings
// name a cell by its column's name, or by its column's number where the
// name itself cannot be read; the names are decoded first.
class CellDecoder {
public:
    CellDecoder(Source cellSource, bool wasGuessed) : source(cellSource), guessed(wasGuessed) {}

    // Row `number` (from 1, the column names' row first), in place.
    void decodeRow(TableRow& row, std::size_t number)
    {
        for (std::size_t c = 0; c < row.size(); ++c) {
            const bool hadName = number == 1 && !row[c].empty();
            decodeCell(row[c], number, c);
            if (hadName && row[c].empty())
                unreadableNames.push_back(c);
        }
        if (number == 1)
            names = row;
    }

    // Cells that are UTF-8 among others that can only be Shift-JIS: the
    // fewer are named, and the table is read in the encoding of the more.
    // Every row is counted before the first is decoded.
    void countEncodings(const TableRow& row)
    {
        for (const std::string& cell : row) {
            const CellBytes bytes = cellBytesOf(cell);
            utf8Cells += bytes == CellBytes::Utf8;
            shiftJisCells += bytes == CellBytes::ShiftJis;
        }
    }

    void settleEncodings()
    {
        if (utf8Cells == 0 || shiftJisCells == 0)
            return;
        minority = utf8Cells <= shiftJisCells ? CellBytes::Utf8 : CellBytes::ShiftJis;
        source = utf8Cells <= shiftJisCells ? Source::ShiftJis : Source::Utf8;
    }

    bool mayBeMixed() const { return guessed && source == Source::ShiftJis; }

    std::vector<TableFinding> findings;
    std::vector<std::size_t> unreadableNames;
    // A character code page 932 lacks was in a cell read as UTF-8.
    bool outsideCodePage = false;

private:
    void decodeCell(std::string& cell, std::size_t row, std::size_t column)
    {
        std::optional<std::string> converted = toShiftJis(cell, row, column);
        if (converted) {
            if (const std::optional<char> control = controlCharacterIn(*converted)) {
                note(row, column, "クイズファイルに書けない制御文字 " + hex(static_cast<unsigned char>(*control)) + " があります");
                converted.reset();
            }
        }
        cell = converted ? std::move(*converted) : std::string();
    }

    std::optional<std::string> toShiftJis(const std::string& cell, std::size_t row, std::size_t column)
    {
        if (isAscii(cell))
            return cell;
        if (minority && cellBytesOf(cell) == *minority) {
            const Source other = source == Source::Utf8 ? Source::ShiftJis : Source::Utf8;
            note(row, column, std::string("このセルは ") + encodingName(other) + " で、表のほかのセルは " +
                                  encodingName(source) + " です。表を一つの文字コードで保存し直してください");
            return std::nullopt;
        }
        if (source == Source::ShiftJis) {
            if (isValidShiftJis(cell))
                return cell;
            note(row, column, "シフトJISとして読めないバイトがあります");
            return std::nullopt;
        }
        if (source == Source::Utf16 && cell.find(kLoneSurrogate) != std::string::npos) {
            note(row, column, "UTF-16 として読めません (対になっていないサロゲートがあります)");
            return std::nullopt;
        }
        const std::optional<std::u32string> codePoints = decodeUtf8(cell);
        if (!codePoints) {
            note(row, column, "UTF-8 として読めないバイトがあります");
            return std::nullopt;
        }
        if (std::optional<std::string> shiftJis = encodeShiftJis(*codePoints))
            return shiftJis;
        for (char32_t c : *codePoints)
            if (!encodeShiftJis(std::u32string(1, c))) {
                note(row, column, "シフトJIS (コードページ 932) にない文字 " + hex(c) + " があります");
                break;
            }
        outsideCodePage = true;
        return std::nullopt;
    }

    void note(std::size_t row, std::size_t column, std::string message)
    {
        if (row > 1 && column < names.size() && !names[column].empty())
            findings.push_back({row, names[column], std::move(message)});
        else
            findings.push_back({row, "", std::move(message), column + 1});
    }

    Source source;
    bool guessed;
    std::size_t utf8Cells = 0;
    std::size_t shiftJisCells = 0;
    std::optional<CellBytes> minority;
    TableRow names;
};

// The forms that are files of other programs rather than text, by the
// bytes they start with.
struct Signature {
    std::string_view start;
    const char* message;
};
const Signature kNotText[] = {
    {kZipSignature, "表ではなく zip 形式のファイル (Excel や Calc のブック .xlsx、.ods など) です。"
                   "表計算ソフトで CSV (UTF-8) として保存してから読み込んでください"},
    {"PK\x05\x06", "表ではなく zip 形式のファイルです"},
    {std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8),
     "表ではなく Excel 97-2003 のブック (.xls) です。表計算ソフトで CSV (UTF-8) として保存してから読み込んでください"},
};

} // namespace

TableEncoder::TableEncoder(char tableSeparator, TableEncoding tableEncoding, std::size_t expectedBytes)
    : separator(tableSeparator), encoding(tableEncoding), bytes(encoding == TableEncoding::Utf8 ? kUtf8Mark : "")
{
    bytes.reserve(expectedBytes);
}

bool TableEncoder::append(const std::vector<TableRow>& rows)
{
    writeRows(rows, separator, [this](std::string_view piece) {
        if (encoding == TableEncoding::ShiftJis)
            bytes += piece;
        else if (!appendShiftJisAsUtf8(piece, bytes))
            failed = true;
    });
    return !failed;
}

std::optional<std::string> TableEncoder::finish()
{
    if (failed)
        return std::nullopt;
    return std::move(bytes);
}

const char* notTextReason(std::string_view bytes)
{
    for (const Signature& signature : kNotText)
        if (bytes.starts_with(signature.start))
            return signature.message;
    return nullptr;
}

// Rows come from the table's text, parsed as they are asked for, or from a
// workbook's rows; `original` are the file's bytes, for the closing hint.
class DecodedRows::Reader {
public:
    Reader(std::string_view bytes, char separator, std::optional<TableEncoding> given) : original(bytes)
    {
        bool guessed = false;
        Source source = sourceOf(bytes, given, guessed);
        if (source == Source::Utf16LE || source == Source::Utf16BE) {
            std::optional<std::string> utf8 = utf16ToUtf8(bytes, source == Source::Utf16BE, kLoneSurrogate);
            if (!utf8) {
                decoder.findings.push_back({0, "", "UTF-16 として読めません (バイト数が奇数です)"});
                return;
            }
            text = std::move(*utf8);
            source = Source::Utf16;
            bytes = text;
        }
        decoder = CellDecoder(source, guessed);
        hintShiftJis = guessed;
        if (decoder.mayBeMixed()) {
            TableRowParser counting(bytes, separator);
            for (TableRow row; counting.next(row);)
                decoder.countEncodings(row);
            decoder.settleEncodings();
        }
        parser.emplace(bytes, separator);
    }

    explicit Reader(std::vector<TableRow> utf8Rows) : held(std::move(utf8Rows)) {}

    bool next(TableRow& row)
    {
        if (!take(row)) {
            finish();
            return false;
        }
        decoder.decodeRow(row, ++number);
        return true;
    }

    CellDecoder decoder{Source::Utf8, false};

private:
    bool take(TableRow& row)
    {
        if (parser)
            return parser->next(row);
        return held.next(row);
    }

    void finish()
    {
        if (finished)
            return;
        finished = true;
        std::vector<TableFinding>& findings = decoder.findings;
        if (parser && parser->unclosedQuoteRow())
            findings.insert(findings.begin(),
                            {*parser->unclosedQuoteRow(), "", "引用符 \" が閉じられないまま表が終わっています"});
        // Only where the same bytes are Shift-JIS text could Shift-JIS be meant.
        if (hintShiftJis && decoder.outsideCodePage && isValidShiftJis(original))
            findings.push_back({0, "", "表がシフトJISで書かれているなら、--encoding shift_jis を付けるとシフトJISとして読みます"});
    }

    std::string_view original;
    std::string text; // a UTF-16 table's, as UTF-8
    std::optional<TableRowParser> parser;
    HeldRows held{{}};
    std::size_t number = 0;
    bool hintShiftJis = false;
    bool finished = false;
};

DecodedRows::DecodedRows(std::string_view bytes, char separator, std::optional<TableEncoding> given)
    : reader(std::make_unique<Reader>(bytes, separator, given))
{
}

DecodedRows::DecodedRows(std::vector<TableRow> utf8Rows) : reader(std::make_unique<Reader>(std::move(utf8Rows))) {}

DecodedRows::~DecodedRows() = default;

bool DecodedRows::next(TableRow& row)
{
    return reader->next(row);
}

const std::vector<std::size_t>& DecodedRows::unreadableNames() const
{
    return reader->decoder.unreadableNames;
}

std::vector<TableFinding> DecodedRows::takeFindings()
{
    return std::move(reader->decoder.findings);
}
