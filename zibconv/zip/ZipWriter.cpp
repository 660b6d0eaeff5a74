#include "zibconv/zip/ZipWriter.h"

#include <libdeflate.h>
#include <minizip/zip.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

struct ZipWriter::Parts {
    // The zip's bytes not yet given to `write`, the first of them at offset
    // `given`, and minizip's state: the deflating thread's alone until it
    // has ended.
    ByteSink write;
    std::string bytes;
    std::uint64_t given = 0;
    std::uint64_t at = 0;
    bool failed = false;
    zipFile zip = nullptr;
    zip_fileinfo info{};

    // The entries waiting to be deflated, in the order they came.
    struct Entry {
        std::string path;
        std::string bytes;
    };
    std::mutex lock;
    std::condition_variable added;
    std::condition_variable taken;
    std::vector<Entry> waiting;
    bool deflaterIdle = false;
    bool adderBlocked = false;
    bool closing = false;
    bool deflateFailed = false; // `failed` as the adding thread may read it
    std::thread deflating;

    void deflateEach();
    bool giveBytes();
    bool deflate(libdeflate_compressor* compressor, std::string& deflated, const Entry& entry);
    void stopDeflating();
};

namespace {

using Parts = ZipWriter::Parts;


// minizip's file functions over the bytes held. They are C callbacks:
// nothing is thrown through them (a failed allocation marks the zip failed).
voidpf ZCALLBACK openBytes(voidpf opaque, const void*, int)
{
    return opaque;
}

// Where `at` is among the bytes not yet given; nothing before them.
std::optional<std::size_t> heldIndex(const Parts& parts)
{
    if (parts.at < parts.given)
        return std::nullopt;
    return static_cast<std::size_t>(parts.at - parts.given);
}

uLong ZCALLBACK readBytes(voidpf, voidpf stream, void* buffer, uLong size)
{
    Parts& parts = *static_cast<Parts*>(stream);
    const std::optional<std::size_t> index = heldIndex(parts);
    if (!index)
        return 0;
    const std::size_t count = std::min<std::size_t>(size, parts.bytes.size() - std::min(*index, parts.bytes.size()));
    if (count > 0)
        std::memcpy(buffer, parts.bytes.data() + *index, count);
    parts.at += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK writeBytes(voidpf, voidpf stream, const void* buffer, uLong size)
{
    Parts& parts = *static_cast<Parts*>(stream);
    const std::optional<std::size_t> index = heldIndex(parts);
    if (!index) {
        parts.failed = true;
        return 0;
    }
    try {
        // Mostly at the end; minizip goes back only to complete the header
        // of the entry it has just written, which is still held.
        const char* bytes = static_cast<const char*>(buffer);
        const std::size_t over = std::min<std::size_t>(size, parts.bytes.size() - std::min(*index, parts.bytes.size()));
        std::memcpy(parts.bytes.data() + *index, bytes, over);
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
        base = parts.given + parts.bytes.size();
    parts.at = base + offset;
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

constexpr int kLevel = 1;

// The zip goes to its sink in pieces of about this many bytes.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// Enough to keep the deflating thread busy without holding the package
// twice over.
constexpr std::size_t kMostWaiting = 256;

// An idle deflating thread is woken for this many entries at once (or the
// last ones): woken for each entry of a few kilobytes, it would spend
// about as long waking as deflating.
constexpr std::size_t kEntriesPerWaking = 32;

// libdeflate's fastest level, written into the zip as it is: minizip's
// own deflating (zlib) takes five times as long over entries of a few
// kilobytes, most of a package's time, and a slower level saves little on
// entries this small. No zip64 fields: a set stays far below 4 GB.
bool Parts::deflate(libdeflate_compressor* compressor, std::string& deflated, const Entry& entry)
{
    // Between entries the zip's bytes so far are final.
    if (bytes.size() >= kPieceSize && !giveBytes())
        return false;
    deflated.resize(libdeflate_deflate_compress_bound(compressor, entry.bytes.size()));
    const std::size_t size =
        libdeflate_deflate_compress(compressor, entry.bytes.data(), entry.bytes.size(), deflated.data(), deflated.size());
    const uLong checksum = libdeflate_crc32(0, entry.bytes.data(), entry.bytes.size());
    constexpr int kRaw = 1;
    if (size == 0 || zipOpenNewFileInZip2_64(zip, entry.path.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                             Z_DEFLATED, kLevel, kRaw, 0) != ZIP_OK)
        return false;
    const bool written = zipWriteInFileInZip(zip, deflated.data(), static_cast<unsigned>(size)) == ZIP_OK;
    return zipCloseFileInZipRaw(zip, static_cast<uLong>(entry.bytes.size()), checksum) == ZIP_OK && written && !failed;
}

// The bytes held so far to the sink, which may throw.
bool Parts::giveBytes()
{
    if (bytes.empty())
        return true;
    const bool written = write(bytes);
    given += bytes.size();
    bytes.clear();
    return written;
}

// The entries are deflated beside their making, which goes on meanwhile,
// and taken all at once, so that the two threads seldom wait for each
// other's lock.
void Parts::deflateEach()
{
    const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(kLevel), &libdeflate_free_compressor);
    std::string deflated;
    std::vector<Entry> batch;
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        deflaterIdle = true;
        added.wait(held, [&] { return closing || !waiting.empty(); });
        deflaterIdle = false;
        if (waiting.empty())
            return;
        batch.swap(waiting);
        const bool wakeAdder = adderBlocked;
        bool written = !deflateFailed && compressor;
        held.unlock();
        if (wakeAdder)
            taken.notify_one();
        try {
            for (const Entry& entry : batch)
                written = written && deflate(compressor.get(), deflated, entry);
        } catch (...) {
            written = false; // no room for an entry's deflated bytes
        }
        batch.clear();
        held.lock();
        deflateFailed = deflateFailed || !written;
    }
}

void Parts::stopDeflating()
{
    if (!deflating.joinable())
        return;
    {
        const std::lock_guard<std::mutex> held(lock);
        closing = true;
    }
    added.notify_one();
    deflating.join();
}

ZipWriter::ZipWriter(std::time_t entriesTime, ByteSink write) : parts(std::make_unique<Parts>())
{
    parts->write = std::move(write);
    try {
        parts->bytes.reserve(2 * kPieceSize);
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
    parts->deflateFailed = parts->zip == nullptr;
    try {
        if (parts->zip)
            parts->deflating = std::thread([deflated = parts.get()] { deflated->deflateEach(); });
    } catch (...) {
        parts->deflateFailed = true;
    }
}

ZipWriter::~ZipWriter()
{
    parts->stopDeflating();
    if (parts->zip)
        zipClose(parts->zip, nullptr);
}

bool ZipWriter::add(std::string path, std::string bytes)
{
    std::unique_lock<std::mutex> held(parts->lock);
    parts->adderBlocked = true;
    parts->taken.wait(held, [&] { return parts->waiting.size() < kMostWaiting || parts->deflateFailed; });
    parts->adderBlocked = false;
    if (parts->deflateFailed || parts->closing)
        return false;
    try {
        parts->waiting.push_back({std::move(path), std::move(bytes)});
    } catch (...) {
        parts->deflateFailed = true;
        return false;
    }
    const bool wakeDeflater = parts->deflaterIdle && parts->waiting.size() >= kEntriesPerWaking;
    held.unlock();
    if (wakeDeflater)
        parts->added.notify_one();
    return true;
}

bool ZipWriter::finish()
{
    parts->stopDeflating();
    if (!parts->zip)
        return false;
    const bool closed = zipClose(parts->zip, nullptr) == ZIP_OK;
    parts->zip = nullptr;
    return closed && !parts->failed && !parts->deflateFailed && parts->giveBytes();
}
