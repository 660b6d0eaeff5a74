#include "zibconv/QuizTable.h"
#include "zibconv/TableFile.h"

#include "xml/ShiftJis.h"
#include "xml/ShiftJisToUtf8.h"
#include "xml/Unicode.h"

#include <cstdio>

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";

enum class Source { Utf8, ShiftJis, Utf16LE, Utf16BE };

bool startsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

// Removes the byte-order mark. `guessed` tells that the bytes alone
// decided between UTF-8 and Shift-JIS.
Source sourceOf(std::string_view& bytes, std::optional<TableEncoding> given, bool& guessed)
{
    guessed = false;
    if (given == TableEncoding::ShiftJis)
        return Source::ShiftJis;
    if (startsWith(bytes, kUtf8Mark)) {
        bytes.remove_prefix(3);
        return Source::Utf8;
    }
    if (given == TableEncoding::Utf8)
        return Source::Utf8;
    if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        bytes.remove_prefix(2);
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

// Converts the cells to Shift-JIS, noting each that cannot be.
class CellDecoder {
public:
    CellDecoder(Source cellSource, bool wasGuessed, std::vector<TableFinding>& allFindings)
        : source(cellSource), guessed(wasGuessed), findings(allFindings)
    {
    }

    void decode(std::vector<TableRow>& rows)
    {
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                decodeCell(rows[r][c], r + 1, c < rows.front().size() ? rows.front()[c] : std::string());
        if (guessed && outsideCodePage)
            findings.push_back({0, "", "表がシフトJISで書かれているなら、--encoding shift_jis を付けるとシフトJISとして読みます"});
    }

private:
    void decodeCell(std::string& cell, std::size_t row, const std::string& column)
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

    std::optional<std::string> toShiftJis(const std::string& cell, std::size_t row, const std::string& column)
    {
        if (source == Source::ShiftJis) {
            if (isValidShiftJis(cell))
                return cell;
            note(row, column, "シフトJISとして読めないバイトがあります");
            return std::nullopt;
        }
        if (isAscii(cell))
            return cell;
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

    void note(std::size_t row, const std::string& column, std::string message)
    {
        findings.push_back({row, column, std::move(message)});
    }

    Source source;
    bool guessed;
    std::vector<TableFinding>& findings;
    bool outsideCodePage = false;
};

} // namespace

TableEncoder::TableEncoder(char tableSeparator, TableEncoding tableEncoding)
    : separator(tableSeparator), encoding(tableEncoding), bytes(encoding == TableEncoding::Utf8 ? kUtf8Mark : "")
{
}

bool TableEncoder::append(const std::vector<TableRow>& rows)
{
    std::string text = writeTable(rows, separator);
    if (encoding == TableEncoding::ShiftJis || isAscii(text)) {
        bytes += text;
        return !failed;
    }
    if (!appendShiftJisAsUtf8(text, bytes))
        failed = true;
    return !failed;
}

std::optional<std::string> TableEncoder::finish()
{
    if (failed)
        return std::nullopt;
    return std::move(bytes);
}

std::optional<std::string> encodeTable(const std::vector<TableRow>& rows, char separator, TableEncoding encoding)
{
    TableEncoder encoder(separator, encoding);
    encoder.append(rows);
    return encoder.finish();
}

DecodedTable decodeTable(std::string_view bytes, char separator, std::optional<TableEncoding> given)
{
    DecodedTable table;
    bool guessed = false;
    Source source = sourceOf(bytes, given, guessed);
    std::string text;
    if (source == Source::Utf16LE || source == Source::Utf16BE) {
        const std::optional<std::u32string> codePoints = decodeUtf16(bytes, source == Source::Utf16BE);
        if (!codePoints) {
            table.findings.push_back({0, "", "UTF-16 として読めません"});
            return table;
        }
        text = encodeUtf8(*codePoints);
        source = Source::Utf8;
        bytes = text;
    }
    ParsedTable parsed = parseTable(bytes, separator);
    if (parsed.unclosedQuoteRow)
        table.findings.push_back({*parsed.unclosedQuoteRow, "", "引用符 \" が閉じられないまま表が終わっています"});
    table.rows = std::move(parsed.rows);
    CellDecoder(source, guessed, table.findings).decode(table.rows);
    return table;
}
