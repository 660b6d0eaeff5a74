// export to Anki: the problems of a quiz file as the walk gives them, into
// notes (AnkiDeck.h), then the package (AnkiPackage.h).
#pragma once

#include "model/SetCounts.h"
#include "zibconv/anki/AnkiDeck.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ExportedAnki {
    // Nothing when a text is no Shift-JIS or the package could not be made.
    std::optional<std::string> bytes;
    SetCounts counts;
    std::vector<FallenLine> fallbacks;
};

// `setName` in UTF-8, the deck's name. Nothing when the file cannot be
// read as XML.
std::optional<ExportedAnki> exportQuizAnki(const std::string& path, std::string_view setName);
