#include "xml/FileIO.h"
#include "xml/TemporaryFile.h"

#include <cerrno>
#include <cstdio>
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

bool writeAll(int fd, const std::string& bytes)
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
bool isReadOnly(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0)
        return false;
    return ::access(path.c_str(), W_OK) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// A name beside the target, so that the rename stays on its file system.
std::string temporaryName(const std::string& path, int attempt)
{
    return path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

} // namespace

bool pathExists(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0;
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

bool replaceFileContents(const std::string& path, const std::string& bytes)
{
    if (isReadOnly(path))
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        TemporaryFile temporary(temporaryName(path, attempt));
        FileDescriptor file(::open(temporary.name().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!file.valid()) {
            const int error = errno;
            temporary.release(); // not ours: it was there before, or never made
            if (error == EEXIST)
                continue;
            return false;
        }
        if (!writeAll(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.close())
            return false;
        if (::rename(temporary.name().c_str(), path.c_str()) != 0)
            return false;
        temporary.release();
        return true;
    }
    return false;
}
