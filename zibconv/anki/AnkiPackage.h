// A deck as Anki's legacy package (.apkg), which every Anki since 2.1 and
// other flashcard programs import: a zip (minizip) of `collection.anki2`, an
// SQLite database of Anki's schema 11, and `media`, an empty JSON map.
// Both programs write the same bytes: the database's page size, encoding
// and secure deletion are set here, SQLite is the same version on both,
// and every time in the package is `seconds`.
#pragma once

#include "zibconv/anki/AnkiDeck.h"

#include <cstdint>
#include <optional>
#include <string>

// The database file's bytes; nothing when SQLite fails (out of memory).
std::optional<std::string> ankiCollection(const AnkiDeckBuilder& deck, std::int64_t seconds);

// The whole package; nothing when SQLite or the zip fails.
std::optional<std::string> ankiPackage(const AnkiDeckBuilder& deck, std::int64_t seconds);
