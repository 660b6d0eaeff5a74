// A set as Anki's notes, before any of it is a database: one note type per
// kind ("ZIB 四択"), with the kind's fields (named by their labels), for
// every kind but the association a field of what the player works with
// (the ox's ○ / ×, the choices, the characters, panels or reels, in a
// stable shuffled order), and the line number, which is the sort field.
// One card each: the front asks as the kind plays, the back adds the
// answer. The association's first hint shows and each further one opens
// with a click ({{hint:...}}).
//
// Where the review's verdict cannot play a line as its kind (the page's
// fallback), its card asks with the question alone. A top-level problem
// with branches and its branches carry the tag "分岐::N", N the top-level
// problem's line: the whole set stays one deck, which a learner studies
// and lists as one, instead of a sub-deck for each such problem.
#pragma once

#include "model/Problem.h"
#include "model/ProblemKinds.h"
#include "model/ProblemList.h"
#include "review/ContentReview.h"
#include "review/PlayVerdict.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct AnkiNoteType {
    const ProblemKind* kind = nullptr;
    std::int64_t id = 0; // the same in every export, so that re-imports find it
    std::string name;    // UTF-8
    std::vector<std::string> fields;
    std::size_t sortField = 0;
    std::string front;
    std::string back;
};

// The note types, one per kind in tag order.
const std::vector<AnkiNoteType>& ankiNoteTypes();

// The style sheet every note type shares.
extern const char* const kAnkiCardStyle;

struct AnkiNote {
    const ProblemKind* kind = nullptr;
    std::size_t line = 0; // numbered as the page numbers lines, branches counted
    std::string guid;
    std::vector<std::string> fields; // HTML, in the note type's order
    std::string tags;                // Anki's form: " a b ", or empty
};

class AnkiDeckBuilder {
public:
    // `setName` in UTF-8: the deck's name and part of every GUID.
    explicit AnkiDeckBuilder(std::string_view setName);

    // A top-level problem and its branches; false when a text is no
    // Shift-JIS (nothing of the problem is kept then).
    bool add(const ProblemBase& problem);

    const std::string& name() const { return setName; }
    const std::vector<AnkiNote>& notes() const { return written; }
    const std::vector<FallenLine>& fallbacks() const { return fallen; }

private:
    std::string setName;
    std::vector<AnkiNote> written;
    std::vector<FallenLine> fallen;
    std::size_t problems = 0;
    // How often each naming key came before, to tell equal ones apart.
    std::unordered_map<std::string, std::size_t> namingCounts;

    std::optional<AnkiNote> noteOf(const ProblemBase& problem, std::size_t line, ProblemPlace place,
                                   std::optional<FallenLine>& fallback);
};

// The notes of `problems` (for tests); nothing when a text is no Shift-JIS.
std::optional<std::vector<AnkiNote>> ankiNotesOf(std::string_view setName, const ProblemList& problems);
