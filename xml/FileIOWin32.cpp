#include "xml/FileIO.h"
#include "xml/TemporaryFile.h"

#include <windows.h>

#include <string>
#include <utility>

// Paths are ANSI strings as the file dialog returns them, so the ANSI
// functions take them as they are.

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE opened) : handle(opened) {}
    ~FileHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return handle; }
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }

    bool close()
    {
        const BOOL closed = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle;
};

bool writeAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t left = bytes.size() - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// MoveFileEx replaces a read-only file where the process may (as under Wine
// run by root): the attribute is checked first.
bool isReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A name beside the target, so that the move stays on its volume.
std::string temporaryName(const std::string& path, int attempt)
{
    return path + ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
}

} // namespace

bool pathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFile(const std::string& path)
{
    DeleteFileA(path.c_str());
}

std::optional<std::string> readFileBytes(const std::string& path)
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

bool replaceFileContents(const std::string& path, const std::string& bytes)
{
    if (isReadOnly(path))
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        TemporaryFile temporary(temporaryName(path, attempt));
        FileHandle file(CreateFileA(temporary.name().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            const DWORD error = GetLastError();
            temporary.release(); // not ours: it was there before, or never made
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.close())
            return false;
        if (!MoveFileExA(temporary.name().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        temporary.release();
        return true;
    }
    return false;
}
