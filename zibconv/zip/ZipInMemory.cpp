#include "zibconv/zip/ZipInMemory.h"

#include <minizip/zip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

struct ZipInMemory::Parts {
    std::string bytes;
    std::size_t at = 0;
    bool failed = false;
    zipFile zip = nullptr;
    zip_fileinfo info{};
};

namespace {

using Parts = ZipInMemory::Parts;


// minizip's file functions over the bytes in memory. They are C callbacks:
// nothing is thrown through them (a failed allocation marks the zip failed).
voidpf ZCALLBACK openBytes(voidpf opaque, const void*, int)
{
    return opaque;
}

uLong ZCALLBACK readBytes(voidpf, voidpf stream, void* buffer, uLong size)
{
    Parts& parts = *static_cast<Parts*>(stream);
    const std::size_t count = std::min<std::size_t>(size, parts.bytes.size() - std::min(parts.at, parts.bytes.size()));
    if (count > 0)
        std::memcpy(buffer, parts.bytes.data() + parts.at, count);
    parts.at += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK writeBytes(voidpf, voidpf stream, const void* buffer, uLong size)
{
    Parts& parts = *static_cast<Parts*>(stream);
    try {
        // Mostly at the end; minizip goes back only to complete a header.
        const char* bytes = static_cast<const char*>(buffer);
        const std::size_t over = std::min<std::size_t>(size, parts.bytes.size() - std::min(parts.at, parts.bytes.size()));
        std::memcpy(parts.bytes.data() + parts.at, bytes, over);
        parts.bytes.append(bytes + over, size - over);
        parts.at += size;
        return size;
    } catch (...) {
        parts.failed = true;
        return 0;
    }
}

ZPOS64_T ZCALLBACK tellBytes(voidpf, voidpf stream)
{
    return static_cast<Parts*>(stream)->at;
}

long ZCALLBACK seekBytes(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    Parts& parts = *static_cast<Parts*>(stream);
    std::uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = parts.at;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = parts.bytes.size();
    parts.at = static_cast<std::size_t>(base + offset);
    return 0;
}

int ZCALLBACK closeBytes(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK errorOfBytes(voidpf, voidpf stream)
{
    return static_cast<Parts*>(stream)->failed ? 1 : 0;
}

// A DOS time holds years from 1980 on.
tm_zip zipTimeOf(std::time_t time)
{
    tm_zip zipTime{0, 0, 0, 1, 0, 1980};
    if (const std::tm* utc = std::gmtime(&time); utc && utc->tm_year >= 80)
        zipTime = {static_cast<uInt>(utc->tm_sec), static_cast<uInt>(utc->tm_min), static_cast<uInt>(utc->tm_hour),
                   static_cast<uInt>(utc->tm_mday), static_cast<uInt>(utc->tm_mon),
                   static_cast<uInt>(utc->tm_year + 1900)};
    return zipTime;
}

} // namespace

ZipInMemory::ZipInMemory(std::time_t entriesTime, std::size_t expectedBytes) : parts(std::make_unique<Parts>())
{
    try {
        parts->bytes.reserve(expectedBytes);
    } catch (...) {
        // It grows as it is written instead.
    }
    parts->info.tmz_date = zipTimeOf(entriesTime);
    zlib_filefunc64_def functions{};
    functions.zopen64_file = openBytes;
    functions.zread_file = readBytes;
    functions.zwrite_file = writeBytes;
    functions.ztell64_file = tellBytes;
    functions.zseek64_file = seekBytes;
    functions.zclose_file = closeBytes;
    functions.zerror_file = errorOfBytes;
    functions.opaque = parts.get();
    parts->zip = zipOpen2_64("package", APPEND_STATUS_CREATE, nullptr, &functions);
    parts->failed = parts->zip == nullptr;
}

ZipInMemory::~ZipInMemory()
{
    if (parts->zip)
        zipClose(parts->zip, nullptr);
}

bool ZipInMemory::add(std::string_view path, std::string_view bytes)
{
    if (parts->failed || !parts->zip)
        return false;
    const std::string name(path);
    // zlib's fastest level: deflating is about half of an export's time,
    // and a slower level saves less than a tenth of the bytes of items this
    // small. No zip64 fields: a set stays far below 4 GB.
    if (zipOpenNewFileInZip64(parts->zip, name.c_str(), &parts->info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_BEST_SPEED, 0) != ZIP_OK) {
        parts->failed = true;
        return false;
    }
    const bool written = zipWriteInFileInZip(parts->zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
    if (zipCloseFileInZip(parts->zip) != ZIP_OK || !written)
        parts->failed = true;
    return !parts->failed;
}

std::optional<std::string> ZipInMemory::finish()
{
    if (!parts->zip)
        return std::nullopt;
    const bool closed = zipClose(parts->zip, nullptr) == ZIP_OK;
    parts->zip = nullptr;
    if (!closed || parts->failed)
        return std::nullopt;
    return std::move(parts->bytes);
}
