#include "text/ShiftJis.h"
#include "text/WideText.h"
#include "win32/LastError.h"

#include <comdef.h>

// Strict: MB_ERR_INVALID_CHARS refuses bytes the code page does not have.
std::optional<std::wstring> multiByteToWide(std::string_view bytes, unsigned codePage)
{
    if (bytes.empty())
        return std::wstring();
    const int length = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    const int written = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), length);
    if (written <= 0)
        return std::nullopt;
    wide.resize(static_cast<std::size_t>(written));
    return wide;
}

std::optional<std::string> wideToMultiByte(std::wstring_view text, unsigned codePage)
{
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    // UTF-8 holds every character and takes neither flag nor question.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* usedDefault = codePage == CP_UTF8 ? nullptr : &defaulted;
    const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, usedDefault);
    if (size <= 0 || defaulted)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

namespace {

std::optional<std::wstring> utf16ToWide(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    std::wstring wide(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        wide[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return wide;
}

bool isSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// Code page 932 holds nothing outside the BMP: a surrogate pair is one "?"
// (WideCharToMultiByte would write one per half).
std::wstring withoutSurrogates(std::wstring_view text)
{
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isSurrogate(text[i])) {
            result += text[i];
            continue;
        }
        result += L'?';
        if (text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
    }
    return result;
}

} // namespace

std::optional<std::wstring> decodeToWide(SourceEncoding encoding, const std::string& bytes)
{
    switch (encoding.codePage) {
    case kCodePageUtf16LE: return utf16ToWide(bytes, false);
    case kCodePageUtf16BE: return utf16ToWide(bytes, true);
    case kCodePageShiftJis:
        if (!hasShiftJisStructure(bytes))
            return std::nullopt;
        break;
    default: break;
    }
    return multiByteToWide(bytes, static_cast<UINT>(encoding.codePage));
}

namespace {

// The text with each character in the form that code page 932 takes on both
// platforms; a refused one is "?". Nothing when every character is its own.
std::optional<std::wstring> inCodePage932Forms(std::wstring_view text)
{
    std::optional<std::wstring> forms;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::optional<char32_t> form = codePage932FormOf(static_cast<char32_t>(text[i]));
        if (form == static_cast<char32_t>(text[i]))
            continue;
        if (!forms)
            forms.emplace(text);
        (*forms)[i] = form ? static_cast<wchar_t>(*form) : L'?';
    }
    return forms;
}

} // namespace

std::string wideToShiftJis(std::wstring_view text)
{
    for (wchar_t c : text)
        if (isSurrogate(c))
            return wideToShiftJis(withoutSurrogates(text));
    if (const std::optional<std::wstring> forms = inCodePage932Forms(text))
        return wideToShiftJis(*forms);
    if (text.empty())
        return std::string();
    // Converted in a buffer of the thread's own, so that the result is
    // allocated once at its exact size: a load converts every text.
    thread_local std::string buffer;
    if (buffer.size() < text.size() * 2)
        buffer.resize(text.size() * 2);
    // No best fit: "é" must not quietly become "e".
    const int written = WideCharToMultiByte(kCodePageShiftJis, WC_NO_BEST_FIT_CHARS, text.data(),
                                            static_cast<int>(text.size()), buffer.data(),
                                            static_cast<int>(text.size() * 2), "?", nullptr);
    if (written <= 0)
        throw _com_error(lastErrorResult());
    return std::string(buffer.data(), static_cast<std::size_t>(written));
}

bool isAssignedInCodePage932(std::string_view bytes)
{
    // Counting the characters converts nothing and allocates nothing.
    return bytes.empty() || MultiByteToWideChar(kCodePageShiftJis, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

std::optional<std::u32string> decodeShiftJis(std::string_view bytes)
{
    if (!hasShiftJisStructure(bytes))
        return std::nullopt;
    std::optional<std::wstring> wide = multiByteToWide(bytes, kCodePageShiftJis);
    if (!wide)
        return std::nullopt;
    // Code page 932 decodes to the BMP only: no surrogates to combine.
    return std::u32string(wide->begin(), wide->end());
}

std::optional<std::string> encodeShiftJisBySystem(std::u32string_view codePoints)
{
    if (codePoints.empty())
        return std::string();
    std::wstring wide;
    wide.reserve(codePoints.size());
    for (char32_t c : codePoints)
        wide += static_cast<wchar_t>(c);
    const int length = static_cast<int>(wide.size());
    std::string bytes(wide.size() * 2, '\0');
    BOOL usedDefault = FALSE;
    // No best fit: a character without its own code is refused, not changed.
    const int written = WideCharToMultiByte(kCodePageShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                            bytes.data(), static_cast<int>(bytes.size()), nullptr, &usedDefault);
    if (written <= 0 || usedDefault)
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(written));
    return bytes;
}
