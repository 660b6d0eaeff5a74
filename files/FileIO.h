// Whole-file reading and the safe replacement of a file. Platform code:
// FileIOPosix.cpp, FileIOWin32.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Paths are bytes as the system gives them: natively as they are; on
// Windows in the ANSI code page, as the editor's file dialogs give them,
// unless the program says they are UTF-8 (zibconv reads its arguments as
// UTF-16, so that no name is changed into another by a best-fit mapping).
void usePathsInUtf8(bool utf8 = true);

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::string& path);

// The size of the regular file at `path`, following links; nothing for
// anything else or what cannot be asked.
std::optional<std::uintmax_t> fileSizeOf(const std::string& path);

// Whether anything stands at `path`: a file, a folder, a device, a pipe, or
// a symbolic link, also one that points nowhere.
bool pathExists(const std::string& path);

// What a write to `path` would put its bytes in place of, following
// symbolic links to the file they name.
enum class WriteTarget {
    NewFile,  // nothing there yet (or a link to a name not yet taken)
    File,     // a regular file, replaced keeping its permissions
    NotAFile, // a folder, device, pipe or socket: never replaced
};
WriteTarget writeTargetOf(const std::string& path);

// Whether both names lead to one existing file: through links, relative
// spellings and, on Windows, another case or the short name.
bool isSameFile(const std::string& first, const std::string& second);

// Where bytes made piece by piece go: each call writes one piece, false
// when it could not be written.
using ByteSink = std::function<bool(std::string_view)>;

// Writes what `produce` makes to a new file beside what `path` names
// (through symbolic links, which stay), flushes it to disk and then puts it
// in its place in one step, so that the file holds either its old bytes or
// all the new ones. `produce` gives its bytes piece by piece to the sink it
// is handed, so that a file of many megabytes need not be held whole, and
// says whether it made them all. A replaced file keeps its permissions. A
// read-only file and anything that is not a file are refused. On false (and
// when `produce` throws) the target is untouched and no temporary file is
// left behind. On success, temporaries that writes of processes no longer
// running left in that folder are removed.
bool replaceFileContentsWith(const std::string& path, const std::function<bool(const ByteSink&)>& produce);

// The same for bytes held whole.
inline bool replaceFileContents(const std::string& path, const std::string& bytes)
{
    return replaceFileContentsWith(path, [&](const ByteSink& write) { return write(bytes); });
}

// An empty work file beside what `path` names (through links), of the
// temporaries' naming, for a library that writes by name before the bytes
// are put in place with replaceFileContents: should the process die first,
// a later write into that folder removes it. Two names: `path` as the
// functions here take it, and `libraryPath` as the C library's fopen takes
// it (on Windows in the ANSI code page: the short name where the long one
// does not fit it). Nothing when no such file can be made.
struct WorkFile {
    std::string path;
    std::string libraryPath;
};
std::optional<WorkFile> makeWorkFileBeside(const std::string& path);
