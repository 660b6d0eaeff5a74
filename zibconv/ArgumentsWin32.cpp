#include "zibconv/Arguments.h"

#include "files/FileIO.h"
#include "text/WideText.h"
#include "win32/ScopedHandle.h"

#include <windows.h>

#include <shellapi.h>

std::vector<std::string> programArguments(int argc, char** argv)
{
    int count = 0;
    const LocalBlock<LPWSTR> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!wide.valid())
        return std::vector<std::string>(argv + 1, argv + argc); // ANSI, as the file functions then take them
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(wideToMultiByte(wide.get()[i], CP_UTF8).value_or(""));
    usePathsInUtf8();
    return arguments;
}
