// A package (QTI, Anki) as one zip held in memory (minizip on both platforms,
// through its own file functions), so that it is put in place whole or not
// at all. Every entry records the same time (files/RecordedTime.h) in
// UTC, so that both programs write the same bytes. Entries are deflated
// on a thread of their own, in the order they were added.
#pragma once

#include <cstddef>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class ZipWriter {
public:
    // `expectedBytes`: room taken at once, so that the zip does not move as
    // it grows.
    ZipWriter(std::time_t entriesTime, std::size_t expectedBytes = 0);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // An entry to deflate; false when an earlier one could not be written,
    // or after finish().
    bool add(std::string path, std::string bytes);
    // The whole zip; nothing when any entry failed. Adds nothing after.
    std::optional<std::string> finish();

    struct Parts;

private:
    std::unique_ptr<Parts> parts;
};
