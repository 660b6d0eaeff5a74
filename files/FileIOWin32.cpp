#include "files/FileIO.h"
#include "files/TemporaryFile.h"
#include "text/WideText.h"
#include "win32/ScopedHandle.h"

#include <windows.h>

#include <string>
#include <utility>

// Paths come in the code page usePathsInUtf8 chose and go to the wide
// functions.

namespace {

// Single writes of many megabytes to a network share fail (7-Zip writes
// such files in pieces of this size for that reason).
constexpr DWORD kMostBytesPerWrite = 4u << 20;

bool writeAll(HANDLE file, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t left = bytes.size() - done;
        const DWORD chunk = left > kMostBytesPerWrite ? kMostBytesPerWrite : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}


UINT pathCodePage = CP_ACP;

// Names are turned into UTF-16 once, so that the wide functions (and the
// only ReplaceFile that takes long names) see them, and so that a path is
// split at its separators without mistaking a Shift-JIS trail byte for one.
std::optional<std::wstring> widened(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    return multiByteToWide(path, pathCodePage);
}

// The folder part of `path` with its separator ("C:" for "C:name").
std::wstring folderPartOf(const std::wstring& path)
{
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos)
        return path.substr(0, separator + 1);
    return path.size() > 1 && path[1] == L':' ? path.substr(0, 2) : std::wstring();
}

// Opens what stands at `path` only to look at it, through links.
FileHandle openToLookAt(const std::wstring& path)
{
    return FileHandle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// A symbolic link is written through: the name of the file it leads to
// (Wine gives the Unix link's target too). A name that leads to no file
// stays as it is.
std::wstring finalName(const std::wstring& path)
{
    const FileHandle file = openToLookAt(path);
    if (!file.valid())
        return path;
    std::wstring name(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file.get(), name.data(), static_cast<DWORD>(name.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= name.size())
        return path;
    name.resize(length);
    return name;
}

struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::string& path)
{
    const std::optional<std::wstring> wide = widened(path);
    if (!wide)
        return std::nullopt;
    const FileHandle file = openToLookAt(*wide);
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information))
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

// What stands at a final name, and its attributes when it is a file.
WriteTarget targetAt(const std::wstring& name, DWORD& attributes)
{
    const FileHandle file = openToLookAt(name);
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? WriteTarget::NewFile
                                                                             : WriteTarget::NotAFile;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return WriteTarget::NotAFile;
    attributes = information.dwFileAttributes;
    return WriteTarget::File;
}

// Whether another program holds the file without letting others write or
// delete it; replacing it then would fail halfway, or (under Wine) not at all.
bool isHeldByAnother(const std::wstring& name)
{
    const FileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    return !file.valid();
}

bool processRuns(DWORD processId)
{
    const ProcessHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process.valid())
        return GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Temporaries of writes whose process was ended would stay forever.
void removeLeftovers(const std::wstring& folderPart)
{
    const std::string prefix = kTemporaryPrefix; // ASCII
    const std::wstring pattern = folderPart + std::wstring(prefix.begin(), prefix.end()) + L"*.tmp";
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search.valid())
        return;
    do {
        std::string name;
        for (const wchar_t* c = found.cFileName; *c != 0; ++c)
            name += *c < 0x80 ? static_cast<char>(*c) : '?';
        const std::optional<DWORD> writer = temporaryFileProcess(kTemporaryPrefix, name);
        if (writer && *writer != GetCurrentProcessId() && !processRuns(*writer))
            DeleteFileW((folderPart + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

// Wine's ReplaceFile first moves the replaced file aside and then moves the
// replacement in: a write ended between the two leaves no file at the name
// (and the replaced file's attributes are not kept). There, only the move,
// which is one rename, is used.
bool replaceFileIsOneStep()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

// The move keeps what ReplaceFile would of the attributes a user sets.
bool moveInPlace(const std::wstring& temporary, const std::wstring& name, DWORD replacedAttributes)
{
    const DWORD kept = replacedAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept != 0 && !SetFileAttributesW(temporary.c_str(), kept))
        return false;
    return MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// ReplaceFile keeps the replaced file's attributes, security and streams.
// It is refused where the file system cannot do that (FAT, some network
// shares), or when the file went away meanwhile: then the move, which keeps
// the bytes just as safe, puts the file in place.
bool putInPlace(const std::wstring& temporary, const std::wstring& name, WriteTarget target, DWORD attributes)
{
    if (target == WriteTarget::NewFile)
        return MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!replaceFileIsOneStep())
        return moveInPlace(temporary, name, attributes);
    if (ReplaceFileW(name.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
        return moveInPlace(temporary, name, attributes);
    default:
        return false;
    }
}

} // namespace

void usePathsInUtf8(bool utf8)
{
    pathCodePage = utf8 ? CP_UTF8 : CP_ACP;
}

std::optional<std::uintmax_t> fileSizeOf(const std::string& path)
{
    const std::optional<std::wstring> wide = widened(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!wide || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool pathExists(const std::string& path)
{
    const std::optional<std::wstring> wide = widened(path);
    if (!wide)
        return false;
    // A link that leads nowhere is still there.
    WIN32_FIND_DATAW found;
    if (FindHandle(FindFirstFileW(wide->c_str(), &found)).valid())
        return true;
    return GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<WorkFile> makeWorkFileBeside(const std::string& path)
{
    const std::optional<std::wstring> wide = widened(path);
    if (!wide)
        return std::nullopt;
    const std::string name = temporaryFileName(kTemporaryPrefix, GetCurrentProcessId(), kMostTemporaryAttempts - 1);
    const std::wstring work = folderPartOf(finalName(*wide)) + std::wstring(name.begin(), name.end());
    {
        FileHandle file(CreateFileW(work.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file.valid() || !file.close())
            return std::nullopt;
    }
    std::optional<std::string> ours = wideToMultiByte(work, pathCodePage);
    std::optional<std::string> library = wideToMultiByte(work, CP_ACP);
    if (!library) {
        std::wstring shortName(32768, L'\0');
        const DWORD length = GetShortPathNameW(work.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
        if (length > 0 && length < shortName.size()) {
            shortName.resize(length);
            library = wideToMultiByte(shortName, CP_ACP);
        }
    }
    if (!ours || !library) {
        DeleteFileW(work.c_str());
        return std::nullopt;
    }
    return WorkFile{*ours, *library};
}

WriteTarget writeTargetOf(const std::string& path)
{
    const std::optional<std::wstring> wide = widened(path);
    if (!wide)
        return WriteTarget::NotAFile;
    DWORD attributes = 0;
    return targetAt(finalName(*wide), attributes);
}

bool isSameFile(const std::string& first, const std::string& second)
{
    const std::optional<FileIdentity> a = identityOf(first);
    return a && a == identityOf(second);
}

void removeFile(const std::string& path)
{
    if (const std::optional<std::wstring> wide = widened(path))
        DeleteFileW(wide->c_str());
}

void removeFile(const std::wstring& path)
{
    DeleteFileW(path.c_str());
}

std::optional<std::string> readFileBytes(const std::string& path)
{
    const std::optional<std::wstring> wide = widened(path);
    if (!wide)
        return std::nullopt;
    FileHandle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::string bytes;
    // Room for all of a file at once: grown by doubling, the bytes of a
    // large set would take up to twice their size.
    LARGE_INTEGER size;
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0)
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
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

bool replaceFileContentsWith(const std::string& path, const std::function<bool(const ByteSink&)>& produce)
{
    const std::optional<std::wstring> wide = widened(path);
    if (!wide)
        return false;
    const std::wstring name = finalName(*wide);
    DWORD attributes = 0;
    const WriteTarget target = targetAt(name, attributes);
    // MoveFileEx and ReplaceFile replace a read-only file where the process
    // may (as under Wine run by root): the attribute is checked first.
    if (target == WriteTarget::NotAFile ||
        (target == WriteTarget::File && ((attributes & FILE_ATTRIBUTE_READONLY) != 0 || isHeldByAnother(name))))
        return false;
    const std::wstring folderPart = folderPartOf(name);
    for (int attempt = 0; attempt < kMostTemporaryAttempts; ++attempt) {
        const std::string temporaryName = temporaryFileName(kTemporaryPrefix, GetCurrentProcessId(), attempt);
        const std::wstring temporaryPath = folderPart + std::wstring(temporaryName.begin(), temporaryName.end());
        FileHandle created(CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!created.valid()) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        // The handle goes before the temporary does: a file still open, and
        // shared with no one, cannot be deleted.
        BasicTemporaryFile<std::wstring> temporary(temporaryPath);
        FileHandle file(std::move(created));
        bool written = true;
        const ByteSink sink = [&](std::string_view piece) {
            written = written && writeAll(file.get(), piece);
            return written;
        };
        if (!produce(sink) || !written || !FlushFileBuffers(file.get()) || !file.close())
            return false;
        if (!putInPlace(temporaryPath, name, target, attributes))
            return false;
        temporary.release();
        removeLeftovers(folderPart);
        return true;
    }
    return false;
}
