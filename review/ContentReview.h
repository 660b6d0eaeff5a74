// The content review: what a set holds that is probably a mistake, found
// by rules over its problems. Nothing here prints; FindingText.h words a
// finding, and the programs decide where it goes.
#pragma once

#include "model/ProblemKinds.h"
#include "model/ProblemList.h"

#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

enum class Rule {
    // A text the player sees is blank (for panels and reels: all of them).
    Blank,
    // A wrong choice equal to the answer or to a wrong choice before it.
    SameChoice,
    // Another problem of the same kind has the same naming text (in the
    // kinds where the player builds the answer, also the same answer)...
    SameProblem,
    // ...and a different answer.
    SameProblemOtherAnswer,
    // Spaces or a line break at the start or end of an answer or choice.
    SurroundingSpace,
    // The panels cannot spell the answer, each panel used at most once.
    PanelsCannotSpell,
    // The answer has not as many characters as there are non-blank reels.
    ReelCount,
    // A reel lacks the answer's character of its position.
    ReelLacksCharacter,
};

// Where a problem stands: its top-level number from 1, and its branch
// number from 1 (0 for the top-level problem itself).
struct ProblemPlace {
    std::size_t problem = 0;
    std::size_t branch = 0;
    friend bool operator==(const ProblemPlace&, const ProblemPlace&) = default;
};

// One text of a problem: the field, and its number in the field's list from
// 1 (0 for the answer and the question; for a rule about all panels or all
// reels, 0 as well).
struct FieldPlace {
    Field field = Field::Question;
    std::size_t index = 0;
    friend bool operator==(const FieldPlace&, const FieldPlace&) = default;
};

// The field place of the text at `position` in the kind's field list.
FieldPlace fieldPlaceOf(const ProblemKind& kind, std::size_t position);

struct ContentFinding {
    ProblemPlace place;
    const ProblemKind* kind = nullptr;
    FieldPlace field;
    Rule rule = Rule::Blank;
    // The field's text as the set holds it.
    std::string text;
    // SameChoice: the field this one equals. ReelLacksCharacter: the
    // answer's character (as `text` holds Shift-JIS) and its position.
    FieldPlace other;
    std::string character;
    std::size_t position = 0;
    // ReelCount: the number of non-blank reels.
    std::size_t reelCount = 0;
    // SameProblem, SameProblemOtherAnswer: every problem of the group, in
    // set order (this one first), and their answers in the same order.
    std::vector<ProblemPlace> group;
    std::vector<std::string> answers;
};

// Every finding, in set order: each top-level problem, then its branches;
// within a problem in field order. A group of the same problems is one
// finding, at its first problem, that names every problem of the group.
std::vector<ContentFinding> reviewContent(const ProblemList& problems);

// The same review given the problems one at a time as a set is read, so
// that they need not be held: of each, only what a later problem with the
// same naming text is compared with is kept.
class ContentReview {
public:
    // A top-level problem with its branches, in set order.
    void add(const ProblemBase& problem);
    // Every finding, as reviewContent gives them; the review is spent.
    std::vector<ContentFinding> finish();

private:
    // A problem whose naming text is not blank: what a group of the same
    // problems tells of it.
    struct Named {
        std::size_t line; // where its own findings end in `ends`
        ProblemPlace place;
        const ProblemKind* kind;
        FieldPlace namingField;
        std::string naming;
        std::string answer;
    };

    void addLine(ProblemPlace place, const ProblemBase& problem);
    // The groups of problems with the same kind and folded naming text,
    // each in set order, by the line of its first problem.
    std::unordered_map<std::size_t, std::vector<std::size_t>> sameNamed();
    ContentFinding sameProblems(const std::vector<std::size_t>& group) const;

    std::size_t problems = 0;
    std::vector<ContentFinding> findings;
    std::vector<std::size_t> ends; // for each line, where its findings end
    std::deque<Named> named;       // grown without moving: no room is left over
    // The hash of each one's kind and folded naming text, with its place in
    // `named`: sorted once the set is read, equal names stand together. The
    // folded texts themselves would take more room than the rest of the
    // review.
    std::vector<std::pair<std::size_t, std::size_t>> nameHashes;
};

// In these kinds the player builds the answer, and the question is often
// one instruction for many problems (to put the letters in order, say):
// the answer is what makes two of them the same problem.
bool answerIsTheContent(const ProblemKind& kind);
