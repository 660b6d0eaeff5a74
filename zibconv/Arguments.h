// The program's arguments, without its name, as paths the file functions
// take: natively the bytes as they are; on Windows read as UTF-16 and given
// in UTF-8, so that a name the ANSI code page lacks (café.xml) is neither
// refused nor mapped onto another file's name (cafe.xml).
// Platform code: ArgumentsPosix.cpp, ArgumentsWin32.cpp.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> programArguments(int argc, char** argv);
