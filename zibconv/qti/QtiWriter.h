// A set as IMS QTI 2.1: one assessmentItem per line of the set (numbered
// as the page numbers them, branches counted), one assessmentTest with an
// assessmentSection per top-level problem and its branches, and the
// package's manifest. How a line plays is the review's verdict
// (review/PlayVerdict.h): ox, four-choice and association as a choice,
// a rearrangement and the panels as an order, a slot as one inline choice
// per reel, and every line that cannot be played as its kind as a text
// entry whose correct response is the answer. Identifiers come from the
// line numbers, so that a second export of the set replaces its items in
// a platform. Every text is UTF-8, its line breaks <br/>.
#pragma once

#include "model/Problem.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "review/ContentReview.h"
#include "review/PlayVerdict.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Panels that spell the answer in more ways than this: only the first ways
// are right (the item writes each way out, and a few panels of repeated
// characters can spell a long answer in millions of ways).
constexpr std::size_t kMostSpellings = 256;

// One file of the package: its path inside it and its bytes.
struct QtiFile {
    std::string path;
    std::string bytes;
};

class QtiWriter {
public:
    // Takes each item as it is made: false stops the writing.
    using ItemSink = std::function<bool(QtiFile&& item)>;

    // `setName` in UTF-8: the test's title.
    QtiWriter(std::string_view setName, ItemSink sink);

    // A top-level problem and its branches; false when a text is no
    // Shift-JIS or the sink refused an item.
    bool add(const ProblemBase& problem);

    // After the last problem: the test and the manifest.
    QtiFile test() const;
    QtiFile manifest() const;

    const std::vector<FallenLine>& fallbacks() const { return fallen; }
    // Panel lines of more than kMostSpellings ways (`why` is None).
    const std::vector<FallenLine>& cutSpellings() const { return cut; }

private:
    struct Section {
        std::size_t firstLine;
        std::vector<std::size_t> lines;
    };

    std::string name;
    ItemSink items;
    std::size_t lines = 0;
    std::size_t problems = 0;
    std::vector<Section> sections;
    std::vector<FallenLine> fallen;
    std::vector<FallenLine> cut;

    bool addLine(Section& section, ProblemPlace place, const ProblemBase& problem);
};

// The item a problem becomes as line `line`; nothing when a text is no
// Shift-JIS.
std::optional<std::string> qtiItemOf(const ProblemBase& problem, std::size_t line);

// The package's files of `problems`: the items in line order, then the
// test and the manifest; nothing when a text is no Shift-JIS.
std::optional<std::vector<QtiFile>> qtiFilesOf(std::string_view setName, const ProblemList& problems);
