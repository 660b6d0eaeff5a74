// Whole-file reading and the safe replacement of a file. Platform code:
// FileIOPosix.cpp, FileIOWin32.cpp.
#pragma once

#include <optional>
#include <string>

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& path);

// Whether a file or folder of that name exists.
bool pathExists(const std::string& path);

// Writes `bytes` to a new file beside `path`, flushes it to disk and then
// puts it in place of `path` in one step, so that `path` holds either its
// old bytes or all the new ones. A read-only target is refused. On false
// the target is untouched and no temporary file is left behind.
bool replaceFileContents(const std::string& path, const std::string& bytes);
