#include "text/Iconv.h"
#include "text/ShiftJis.h"
#include "text/ShiftJisToUtf8.h"

#include <algorithm>
#include <bit>
#include <cerrno>

Iconv::Iconv(const char* to, const char* from) : descriptor(iconv_open(to, from)) {}

Iconv::~Iconv()
{
    if (valid())
        iconv_close(descriptor);
}

namespace {

// Length of the UTF-8 sequence that starts with `lead`.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

} // namespace

std::optional<std::string> Iconv::convert(std::string_view input)
{
    if (!valid())
        return std::nullopt;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    // Shift-JIS to UTF-8 grows by half at most for the double-byte
    // characters; the buffer grows when another pair needs more.
    std::string output;
    output.resize(input.size() + input.size() / 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    for (;;) {
        const bool done = iconv(descriptor, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
                          iconv(descriptor, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
        if (done)
            break;
        if (errno != E2BIG)
            return std::nullopt;
        const std::size_t used = output.size() - outLeft;
        output.resize(output.size() * 2);
        out = output.data() + used;
        outLeft = output.size() - used;
    }
    output.resize(output.size() - outLeft);
    // Kept at its size: a table's cells are converted one by one and held.
    output.shrink_to_fit();
    return output;
}

bool Iconv::accepts(std::string_view input)
{
    if (!valid())
        return false;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    for (;;) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(descriptor, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1))
            return true;
        if (errno != E2BIG)
            return false;
    }
}

std::string Iconv::convertFromUtf8Lossy(std::string_view utf8)
{
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    // Converted in the object's own buffer, so that the result is allocated
    // once at its exact size: a load converts every text of the file.
    if (scratch.size() < utf8.size() + 16)
        scratch.resize(utf8.size() + 16);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = scratch.data();
    std::size_t outLeft = scratch.size();
    const auto grow = [&] {
        const std::size_t used = scratch.size() - outLeft;
        scratch.resize(scratch.size() * 2);
        out = scratch.data() + used;
        outLeft = scratch.size() - used;
    };
    while (inLeft > 0) {
        if (iconv(descriptor, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            grow();
            continue;
        }
        // One character the target lacks (or a broken tail): one "?".
        if (outLeft == 0)
            grow();
        const std::size_t skip = std::min(sequenceLength(static_cast<unsigned char>(*in)), inLeft);
        in += skip;
        inLeft -= skip;
        *out++ = '?';
        --outLeft;
    }
    return std::string(scratch.data(), scratch.size() - outLeft);
}

std::optional<std::string> decodeToUtf8(SourceEncoding encoding, std::string bytes)
{
    // libxml2 checks UTF-8 itself while it parses.
    if (encoding.codePage == kCodePageUtf8)
        return bytes;
    if (encoding.codePage == kCodePageShiftJis) {
        std::string text;
        text.reserve(bytes.size() + bytes.size() / 2);
        if (!appendShiftJisAsUtf8(bytes, text))
            return std::nullopt;
        return text;
    }
    return Iconv("UTF-8", encoding.iconvName).convert(bytes);
}

namespace {

// Opened once: every non-ASCII text of a save is checked through it.
Iconv& shiftJisToUtf32()
{
    thread_local Iconv decoder("UTF-32LE", "CP932");
    return decoder;
}

} // namespace

bool isAssignedInCodePage932(std::string_view bytes)
{
    return shiftJisToUtf32().accepts(bytes);
}

std::optional<std::u32string> decodeShiftJis(std::string_view bytes)
{
    if (!hasShiftJisStructure(bytes))
        return std::nullopt;
    std::optional<std::string> utf32 = shiftJisToUtf32().convert(bytes);
    if (!utf32)
        return std::nullopt;
    std::u32string codePoints;
    codePoints.reserve(utf32->size() / 4);
    for (std::size_t i = 0; i + 3 < utf32->size(); i += 4) {
        const auto byte = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>((*utf32)[i + k])); };
        codePoints += byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    }
    return codePoints;
}

std::optional<std::string> encodeShiftJisBySystem(std::u32string_view codePoints)
{
    static_assert(std::endian::native == std::endian::little, "code points are handed to iconv as UTF-32LE");
    thread_local Iconv encoder("CP932", "UTF-32LE");
    return encoder.convert(
        std::string_view(reinterpret_cast<const char*>(codePoints.data()), codePoints.size() * sizeof(char32_t)));
}
