// How a problem plays, as the review decides it: by its kind (choices,
// tiles, reels) or, where its texts do not allow that, by revealing the
// answer. The review's findings about a problem that cannot be played
// (panels that cannot spell the answer, reels without its characters) and
// the set's page both come from here, so that they always agree. The page
// shows the pieces and compares the folded texts it is given; it decides
// nothing of its own.
#pragma once

#include "model/ProblemKinds.h"
#include "review/ContentReview.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class PlayMode {
    // The answer is shown, and the player says whether they knew it.
    Reveal,
    // One choice is pressed: ○ or × for ox, the answer among the wrong ones.
    Choice,
    // Tiles are put in order: a rearrangement's characters, or the panels.
    Tiles,
    // One character is picked from each reel.
    Reels,
};

// Why a problem is played by revealing its answer.
enum class Fallback {
    None,
    BlankAnswer,
    NotCircleOrCross, // an ox answer that is neither ○ nor ×
    NoWrongChoice,
    NoPanels,
    PanelsCannotSpell,
    NoReels,
    ReelCount,          // not one character of the answer for each reel
    ReelLacksCharacter, // a reel without the answer's character of its place
};

// A line of a set (counted as the page counts them, branches too) that an
// export holds otherwise than as its kind plays, and why: what its notice
// names.
struct FallenLine {
    std::size_t line = 0;
    ProblemPlace place;
    const ProblemKind* kind = nullptr;
    Fallback why = Fallback::None;
};

// A choice or a tile: the text the player sees, and the text compared.
struct PlayPiece {
    std::u32string shown;
    std::u32string folded;
};

// A reel lacking the answer's character of its place: where the reel
// stands in the field list, and the character's place in the answer.
struct LackingReel {
    std::size_t text = 0;
    std::size_t position = 0;
};

struct PlayVerdict {
    PlayMode mode = PlayMode::Reveal;
    Fallback fallback = Fallback::None;
    // Folded: what the player's choice, or the pieces placed or picked one
    // after the other, must equal.
    std::u32string answer;
    // Choice: the answer, then the wrong choices in field order. Tiles: a
    // rearrangement's characters in the answer's order, or the non-blank
    // panels in field order.
    std::vector<PlayPiece> pieces;
    // Choice: the pieces keep their order (ox's ○ before ×) instead of
    // being shuffled.
    bool inOrder = false;
    // Reels: the folded characters of each non-blank reel, each once.
    std::vector<std::vector<std::u32string>> reels;
    // ReelCount: the number of non-blank reels.
    std::size_t reelCount = 0;
    std::vector<LackingReel> lacking;
};

// `texts` are the code points of the problem's texts in field order
// (codePointsOf, TextFolding.h).
PlayVerdict playVerdict(const ProblemKind& kind, const std::vector<std::u32string_view>& texts);
PlayVerdict playVerdict(const ProblemBase& problem);
