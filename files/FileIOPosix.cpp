#include "files/FileIO.h"
#include "files/TemporaryFile.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd; }
    bool valid() const { return fd >= 0; }

    // Closing can report a failed write-back; it is part of the write.
    bool close()
    {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

private:
    int fd;
};

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Running as root, access() says every file is writable: a file without any
// write permission counts as read-only too.
bool isReadOnly(const std::string& path, const struct stat& status)
{
    return ::access(path.c_str(), W_OK) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

constexpr int kMostLinkHops = 40;

// The folder part of `path` with its slash; empty for a name alone.
std::string folderPartOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name a write to `path` puts its file at: symbolic links are followed
// to the name they lead to, which need not exist yet. Nothing for a loop of
// links or a name that cannot be looked at.
std::optional<std::string> finalName(std::string path)
{
    for (int hop = 0; hop <= kMostLinkHops; ++hop) {
        struct stat status;
        if (::lstat(path.c_str(), &status) != 0)
            return errno == ENOENT ? std::optional<std::string>(path) : std::nullopt;
        if (!S_ISLNK(status.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            return std::nullopt; // changed while being read
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : folderPartOf(path) + target;
    }
    return std::nullopt;
}

// The replacement takes over the replaced file's owner where the process
// may give it, and its mode (set after the owner, which clears set-id bits).
void keepOwnerAndMode(int fd, const struct stat& replaced)
{
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
        // Neither: the file stays the process's own, as a new file would.
    }
    ::fchmod(fd, replaced.st_mode & 07777);
}

// The new name must be on disk too, not only the file's bytes.
void flushFolder(const std::string& folderPart)
{
    FileDescriptor folder(::open(folderPart.empty() ? "." : folderPart.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
}

bool processRuns(unsigned long processId)
{
    if (processId == 0 || processId > 0x7FFFFFFFul)
        return true; // not a process a temporary can name: keep it
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

// Temporaries of writes whose process was killed would stay forever.
void removeLeftovers(const std::string& folderPart)
{
    DIR* folder = ::opendir(folderPart.empty() ? "." : folderPart.c_str());
    if (folder == nullptr)
        return;
    const unsigned long self = static_cast<unsigned long>(::getpid());
    while (const dirent* entry = ::readdir(folder)) {
        const std::optional<unsigned long> writer = temporaryFileProcess(kTemporaryPrefix, entry->d_name);
        if (writer && *writer != self && !processRuns(*writer))
            ::unlink((folderPart + entry->d_name).c_str());
    }
    ::closedir(folder);
}

} // namespace

void usePathsInUtf8(bool)
{
}

std::optional<std::uintmax_t> fileSizeOf(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<std::uintmax_t>(status.st_size);
}

bool pathExists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

std::optional<WorkFile> makeWorkFileBeside(const std::string& path)
{
    const std::optional<std::string> name = finalName(path);
    if (!name)
        return std::nullopt;
    // The name is this process's own: what stands there is a leftover of it.
    const std::string work = folderPartOf(*name) + temporaryFileName(kTemporaryPrefix, ::getpid(), kMostTemporaryAttempts - 1);
    FileDescriptor file(::open(work.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file.valid() || !file.close())
        return std::nullopt;
    return WorkFile{work, work};
}

WriteTarget writeTargetOf(const std::string& path)
{
    const std::optional<std::string> name = finalName(path);
    if (!name)
        return WriteTarget::NotAFile;
    struct stat status;
    if (::stat(name->c_str(), &status) != 0)
        return WriteTarget::NewFile;
    return S_ISREG(status.st_mode) ? WriteTarget::File : WriteTarget::NotAFile;
}

bool isSameFile(const std::string& first, const std::string& second)
{
    struct stat a, b;
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

void removeFile(const std::string& path)
{
    ::unlink(path.c_str());
}

std::optional<std::string> readFileBytes(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return std::nullopt;
    std::string bytes;
    // Room for all of a file at once: grown by doubling, the bytes of a
    // large set would take up to twice their size.
    struct stat status;
    if (::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode))
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool replaceFileContentsWith(const std::string& path, const std::function<bool(const ByteSink&)>& produce)
{
    const std::optional<std::string> name = finalName(path);
    if (!name)
        return false;
    struct stat replaced;
    const bool replacing = ::stat(name->c_str(), &replaced) == 0;
    if (replacing && (!S_ISREG(replaced.st_mode) || isReadOnly(*name, replaced)))
        return false;
    const std::string folderPart = folderPartOf(*name);
    for (int attempt = 0; attempt < kMostTemporaryAttempts; ++attempt) {
        TemporaryFile temporary(folderPart + temporaryFileName(kTemporaryPrefix, ::getpid(), attempt));
        FileDescriptor file(::open(temporary.name().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!file.valid()) {
            const int error = errno;
            temporary.release(); // not ours: it was there before, or never made
            if (error == EEXIST)
                continue;
            return false;
        }
        if (replacing)
            keepOwnerAndMode(file.get(), replaced);
        bool written = true;
        const ByteSink sink = [&](std::string_view piece) {
            written = written && writeAll(file.get(), piece);
            return written;
        };
        if (!produce(sink) || !written || ::fsync(file.get()) != 0 || !file.close())
            return false;
        if (::rename(temporary.name().c_str(), name->c_str()) != 0)
            return false;
        temporary.release();
        flushFolder(folderPart);
        removeLeftovers(folderPart);
        return true;
    }
    return false;
}
