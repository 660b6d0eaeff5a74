// A set as Moodle's GIFT: UTF-8 without a byte-order mark, LF line ends,
// one blank line between questions. Each top-level problem opens a
// category of its own (the set's name, then its line number), and each
// line of the set (numbered as the page numbers them, branches counted)
// is one question titled with its number. How a line plays is the
// review's verdict (review/PlayVerdict.h): ox as true/false, four-choice
// and association as multiple choice, the other kinds and every line that
// cannot be played as its kind as a short answer; a line with a blank
// answer as an essay, with nothing to accept.
#pragma once

#include "model/Problem.h"
#include "model/ProblemList.h"
#include "model/ProblemKinds.h"
#include "review/ContentReview.h"
#include "review/PlayVerdict.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// GIFT has no question of these kinds: they are always short answers, with
// their characters, panels or reels in the question text.
bool isOnlyShortAnswer(const ProblemKind& kind);

class GiftWriter {
public:
    // `setName` in UTF-8: the set's file name without its extension.
    explicit GiftWriter(std::string_view setName);

    // A top-level problem and its branches; false when a text is no
    // Shift-JIS (nothing of the problem is written then).
    bool add(const ProblemBase& problem);

    const std::string& bytes() const { return gift; }
    const std::vector<FallenLine>& fallbacks() const { return fallen; }
    // The kinds of the set that GIFT holds only as short answers, in tag
    // order, each once.
    std::vector<const ProblemKind*> shortAnswerKinds() const;

private:
    std::string name;
    std::string gift;
    std::size_t lines = 0;
    std::size_t problems = 0;
    std::vector<FallenLine> fallen;
    std::vector<bool> kindsSeen;

    bool appendLine(std::string& out, ProblemPlace place, const ProblemBase& problem);
};

// The whole GIFT file of `problems`; nothing when a text is no Shift-JIS.
std::optional<std::string> giftOf(std::string_view setName, const ProblemList& problems);
