// export to a QTI 2.1 content package: the problems of a quiz file as the
// walk gives them, each line's item zipped as it comes (QtiWriter.h), then
// the test and the manifest.
#pragma once

#include "model/SetCounts.h"
#include "zibconv/qti/QtiWriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ExportedQti {
    // Nothing when a text is no Shift-JIS or the zip could not be made.
    std::optional<std::string> bytes;
    SetCounts counts;
    std::vector<FallenLine> fallbacks;
    std::vector<FallenLine> cutSpellings;
};

// `setName` in UTF-8, as the test's title. Nothing when the file cannot be
// read as XML.
std::optional<ExportedQti> exportQuizQti(const std::string& path, std::string_view setName);
