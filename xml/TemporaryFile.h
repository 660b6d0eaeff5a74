#pragma once

#include <string>
#include <utility>

// Deletes a file; platform code beside the file functions.
void removeFile(const std::string& path);

// A temporary file that goes away unless it has been put in place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string name) : path(std::move(name)) {}
    ~TemporaryFile()
    {
        if (!path.empty())
            removeFile(path);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& name() const { return path; }

    // The file is in place, or was never ours: nothing to remove.
    void release() { path.clear(); }

private:
    std::string path;
};
