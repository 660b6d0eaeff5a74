// The user's console: messages in its encoding (the console's own on
// Windows, UTF-8 on Linux), and the pause of a console window that the
// program has to itself. Platform code: ConsolePosix.cpp, ConsoleWin32.cpp.
#pragma once

#include <string>
#include <string_view>

enum class Stream { Out, Error };

// One line: the Shift-JIS text, then ": " and the name (a path or an
// argument as programArguments gave it) when there is one.
void printLine(Stream stream, std::string_view shiftJis, const std::string& name = {});

// A whole document of UTF-8 bytes for programs to read (check --json):
// written as it is to a file or pipe, shown as its characters on a console.
void writeUtf8(Stream stream, std::string_view utf8);

// Started from Explorer (a file dropped on the program), the console
// window closes with the program: it waits for Enter first, so that the
// user can read the result. Never when its input is no console.
void pauseIfConsoleIsOwn();
