// One owner for every kind of Windows handle the programs hold: each kind
// says what "nothing" is and how it is given back. Windows only.
#pragma once

#include <windows.h>

#include <utility>

// Owns a handle of `Kind` and gives it back when it goes. Move-only.
template <class Kind>
class ScopedHandle {
public:
    using Value = typename Kind::Value;

    ScopedHandle() = default;
    explicit ScopedHandle(Value held) : handle(held) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle = other.release();
        }
        return *this;
    }

    Value get() const { return handle; }
    bool valid() const { return handle != Kind::none(); }

    // Gives the handle back now and tells whether that worked: a file's
    // last bytes may only fail to reach the disk at its close. False when
    // nothing was held.
    bool close() { return valid() && Kind::close(release()); }

    // Gives the handle back, if any, where no one can act on a failure.
    void reset()
    {
        if (valid())
            Kind::close(release());
    }

    Value release() { return std::exchange(handle, Kind::none()); }

private:
    Value handle = Kind::none();
};

// CreateFile's handles, whose "nothing" is INVALID_HANDLE_VALUE.
struct FileHandleKind {
    using Value = HANDLE;
    static Value none() { return INVALID_HANDLE_VALUE; }
    static bool close(Value handle) { return CloseHandle(handle) != FALSE; }
};

// FindFirstFile's searches.
struct FindHandleKind {
    using Value = HANDLE;
    static Value none() { return INVALID_HANDLE_VALUE; }
    static bool close(Value handle) { return FindClose(handle) != FALSE; }
};

// OpenProcess's handles, whose "nothing" is null.
struct ProcessHandleKind {
    using Value = HANDLE;
    static Value none() { return nullptr; }
    static bool close(Value handle) { return CloseHandle(handle) != FALSE; }
};

// Blocks the system allocated for the caller to LocalFree.
template <class Pointer>
struct LocalBlockKind {
    using Value = Pointer;
    static Value none() { return nullptr; }
    static bool close(Value block) { return LocalFree(block) == nullptr; }
};

using FileHandle = ScopedHandle<FileHandleKind>;
using FindHandle = ScopedHandle<FindHandleKind>;
using ProcessHandle = ScopedHandle<ProcessHandleKind>;
template <class Element>
using LocalBlock = ScopedHandle<LocalBlockKind<Element*>>;
