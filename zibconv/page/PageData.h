// What each line of the page carries for its script: how the review says
// the problem plays, with the folded texts the script compares, and the key
// its search compares what the user types with. The script decides
// nothing of its own about a problem.
#pragma once

#include "model/Problem.h"
#include "review/PlayVerdict.h"

#include <optional>
#include <string>

// The verdict as JSON, in UTF-8 and not yet escaped for HTML:
// {"mode":"reveal"}, or with mode "choice", "tiles" or "reels" the folded
// "answer", "inOrder" when choices are not to be shuffled, the "pieces"
// (each [shown, folded], or one string when both are the same) and the
// "reels" (each a list of folded characters).
std::string playJson(const PlayVerdict& verdict);

// The line's texts as the page shows them, joined by line feeds, with the
// widths folded as the review folds them and letters in lower case, as the
// search compares them; nothing when that is what the texts show already.
std::optional<std::string> searchKeyOf(const TextList& texts);
