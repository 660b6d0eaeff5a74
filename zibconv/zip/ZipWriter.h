// A package (QTI, Anki) as one zip, written as it is made into a sink of
// bytes (minizip on both platforms, through its own file functions): the
// caller puts it in place whole or not at all. Every entry records the same
// time (files/RecordedTime.h) in UTC, so that both programs write the same
// bytes. Entries are deflated on a thread of their own, in the order they
// were added, and the sink is called on that thread too, until finish().
#pragma once

#include "files/FileIO.h"

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

class ZipWriter {
public:
    // `write` takes the zip's bytes in order, in pieces of about a megabyte.
    ZipWriter(std::time_t entriesTime, ByteSink write);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // An entry to deflate; false when an earlier one could not be written,
    // or after finish().
    bool add(std::string path, std::string bytes);
    // The rest of the zip into the sink; whether every entry and piece was
    // written. Adds nothing after.
    bool finish();

    struct Parts;

private:
    std::unique_ptr<Parts> parts;
};
