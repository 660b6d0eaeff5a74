#include "zibconv/tables/RetypedCells.h"

#include <regex>
#include <string>

namespace {

bool isFullWidthDigitPair(std::string_view shiftJis, std::size_t at)
{
    // "０" to "９" are 0x824F to 0x8258 in code page 932.
    return at + 1 < shiftJis.size() && shiftJis[at] == '\x82' && shiftJis[at + 1] >= '\x4F' && shiftJis[at + 1] <= '\x58';
}

// Full-width digits read as a number: the text made of them alone, with
// ASCII signs, points and commas between.
std::string asciiDigits(std::string_view shiftJis)
{
    std::string out;
    for (std::size_t i = 0; i < shiftJis.size(); ++i) {
        if (isFullWidthDigitPair(shiftJis, i)) {
            out += static_cast<char>('0' + (shiftJis[i + 1] - '\x4F'));
            ++i;
        } else {
            out += shiftJis[i];
        }
    }
    return out;
}

} // namespace

bool spreadsheetWouldRetype(std::string_view shiftJis)
{
    if (shiftJis.empty())
        return false;
    if (std::string_view("=+-@").find(shiftJis.front()) != std::string_view::npos)
        return true;
    // Only short texts that start like a number, a date or a boolean are
    // matched in full: most texts are told by their first byte.
    const char first = shiftJis.front();
    const bool mayBe = (first >= '0' && first <= '9') || std::string_view("(.TFtf#").find(first) != std::string_view::npos ||
                       isFullWidthDigitPair(shiftJis, 0);
    if (!mayBe || shiftJis.size() > 64)
        return false;
    // Numbers (with a sign, a point, thousands' commas, an exponent, a
    // percent sign or in brackets as negative), dates, fractions, times,
    // booleans and error values, as both spreadsheets take them.
    static const std::regex retyped(
        R"(\(?[0-9][0-9,]*(\.[0-9]*)?([eE][+-]?[0-9]+)?%?\)?|\.[0-9]+|[0-9]{1,4}[/-][0-9]{1,2}([/-][0-9]{1,4})?|)"
        R"([0-9]{1,2}:[0-9]{2}(:[0-9]{2})?|TRUE|FALSE|true|false|#N/A|#DIV/0!|#VALUE!|#REF!|#NAME\?|#NUM!|#NULL!)");
    return std::regex_match(asciiDigits(shiftJis), retyped);
}

RetypeCounter::RetypeCounter(std::unique_ptr<RowSink> inner) : sink(std::move(inner)) {}

bool RetypeCounter::append(const std::vector<TableRow>& rows)
{
    for (const TableRow& row : rows) {
        if (++rowNumber == 1) {
            names = row;
            continue;
        }
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!spreadsheetWouldRetype(row[c]))
                continue;
            if (++count <= kPlacesKept)
                first.push_back({rowNumber, c < names.size() ? names[c] : std::string(), "", c + 1});
        }
    }
    return sink->append(rows);
}

std::optional<std::string> RetypeCounter::finish()
{
    return sink->finish();
}
