#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

// Deletes a file; platform code beside the file functions (the wide form
// on Windows only).
void removeFile(const std::string& path);
void removeFile(const std::wstring& path);

// A write's temporary file is named after the writing process and the
// attempt: PREFIX, 8 hex digits of the process id, 2 of the attempt and
// ".tmp". The name is short and of one length, so that it fits in any
// folder the target fits in, and it tells a later write whose it was.
constexpr int kMostTemporaryAttempts = 256;

// The Windows build's and the native build's prefixes differ, so that one
// never takes the other's temporary (a Windows program under Wine and a
// native one may write in the same folder) for a leftover of its own.
constexpr const char* kWindowsTemporaryPrefix = "~ziw";
constexpr const char* kPosixTemporaryPrefix = "~zib";
#ifdef _WIN32
constexpr const char* kTemporaryPrefix = kWindowsTemporaryPrefix;
#else
constexpr const char* kTemporaryPrefix = kPosixTemporaryPrefix;
#endif

inline std::string temporaryFileName(const char* prefix, unsigned long processId, int attempt)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%08lx%02x.tmp", prefix, processId & 0xFFFFFFFFul,
                  static_cast<unsigned>(attempt) & 0xFFu);
    return name;
}

// The process that named `name`, when it is a temporary of `prefix`'s naming.
inline std::optional<unsigned long> temporaryFileProcess(const char* prefix, const std::string& name)
{
    const std::string start = prefix;
    const std::size_t length = start.size() + 8 + 2 + 4;
    if (name.size() != length || name.compare(0, start.size(), start) != 0 || !name.ends_with(".tmp"))
        return std::nullopt;
    unsigned long processId = 0;
    for (std::size_t i = start.size(); i < start.size() + 10; ++i) {
        const char c = name[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        if (i < start.size() + 8)
            processId = processId * 16 + static_cast<unsigned long>(digit);
    }
    return processId;
}

// A temporary file that goes away unless it has been put in place.
template <class Name>
class BasicTemporaryFile {
public:
    explicit BasicTemporaryFile(Name name) : path(std::move(name)) {}
    ~BasicTemporaryFile()
    {
        if (!path.empty())
            removeFile(path);
    }
    BasicTemporaryFile(const BasicTemporaryFile&) = delete;
    BasicTemporaryFile& operator=(const BasicTemporaryFile&) = delete;

    const Name& name() const { return path; }

    // The file is in place, or was never ours: nothing to remove.
    void release() { path.clear(); }

private:
    Name path;
};

using TemporaryFile = BasicTemporaryFile<std::string>;
