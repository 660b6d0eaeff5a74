// export to a QTI 2.1 content package: the problems of a quiz file as the
// walk gives them, each line's item zipped as it comes (QtiWriter.h), then
// the test and the manifest.
#pragma once

#include "files/FileIO.h"
#include "model/SetCounts.h"
#include "zibconv/qti/QtiWriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ExportedQti {
    // False when a text is no Shift-JIS or the zip could not be made or
    // written.
    bool written = false;
    SetCounts counts;
    std::vector<FallenLine> fallbacks;
    std::vector<FallenLine> cutSpellings;
};

// The package into `write` as it is made, item by item: a large set's
// package is tens of megabytes. `setName` in UTF-8, as the test's title.
// Nothing when the file cannot be read as XML.
std::optional<ExportedQti> exportQuizQti(const std::string& path, std::string_view setName, const ByteSink& write);
