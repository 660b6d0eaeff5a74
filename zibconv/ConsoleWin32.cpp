#include "zibconv/Console.h"

#include <windows.h>

#include <string>

namespace {

std::wstring wide(std::string_view bytes, UINT codePage)
{
    if (bytes.empty())
        return {};
    const int length = static_cast<int>(bytes.size());
    std::wstring text(bytes.size(), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), length);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

std::string narrow(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

HANDLE handleOf(Stream stream)
{
    return GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

} // namespace

void printLine(Stream stream, std::string_view shiftJis, const std::string& name)
{
    std::wstring line = wide(shiftJis, 932);
    if (!name.empty())
        line += L": " + wide(name, CP_UTF8); // as programArguments gives them
    line += L"\r\n";
    HANDLE handle = handleOf(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    // A console shows every character; a file or pipe gets the console's
    // code page, or the system's when there is no console.
    if (isConsole(handle)) {
        WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetACP();
    const std::string bytes = narrow(line, codePage);
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void writeUtf8(Stream stream, std::string_view utf8)
{
    HANDLE handle = handleOf(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    if (isConsole(handle)) {
        const std::wstring text = wide(utf8, CP_UTF8);
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void pauseIfConsoleIsOwn()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD processes[2] = {};
    // Alone on its console: the window was made for this program, and goes
    // with it.
    if (!isConsole(input) || GetConsoleProcessList(processes, 2) != 1)
        return;
    printLine(Stream::Error, "Enter キーを押すと閉じます");
    FlushConsoleInputBuffer(input);
    char buffer[16];
    DWORD read = 0;
    ReadConsoleA(input, buffer, sizeof buffer, &read, nullptr);
}
