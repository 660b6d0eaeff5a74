#include "zibconv/Arguments.h"

#include "files/FileIO.h"
#include "text/WideText.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace {

struct LocalFreeDeleter {
    void operator()(LPWSTR* block) const { LocalFree(block); }
};

} // namespace

std::vector<std::string> programArguments(int argc, char** argv)
{
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreeDeleter> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide)
        return std::vector<std::string>(argv + 1, argv + argc); // ANSI, as the file functions then take them
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(wideToMultiByte(wide.get()[i], CP_UTF8).value_or(""));
    usePathsInUtf8();
    return arguments;
}
