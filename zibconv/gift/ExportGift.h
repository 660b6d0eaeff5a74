// export to GIFT: the problems of a quiz file as the walk gives them, each
// written as it comes (GiftWriter.h).
#pragma once

#include "model/SetCounts.h"
#include "zibconv/gift/GiftWriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ExportedGift {
    // Nothing when a text is no Shift-JIS.
    std::optional<std::string> bytes;
    SetCounts counts;
    std::vector<FallenLine> fallbacks;
    std::vector<const ProblemKind*> shortAnswerKinds;
};

// `setName` in UTF-8, as the categories name the set. Nothing when the
// file cannot be read as XML.
std::optional<ExportedGift> exportQuizGift(const std::string& path, std::string_view setName);
