// What the page carries for its script: with each line, how the review
// says the problem plays, with the folded texts the script compares; for
// the whole page, how its search folds texts. The script decides nothing
// of its own about a problem.
#pragma once

#include "review/PlayVerdict.h"

#include <string>

// The verdict as JSON, in UTF-8 and not yet escaped for HTML:
// {"mode":"reveal"}, or with mode "choice", "tiles" or "reels" the folded
// "answer", "inOrder" when choices are not to be shuffled, the "pieces"
// (each [shown, folded], or one string when both are the same) and the
// "reels" (each a list of folded characters).
std::string playJson(const PlayVerdict& verdict);

// How the search folds the texts of the lines and what the user types:
// widths as the review folds them, letters in lower case. A table for the
// script, in UTF-8 and not yet escaped for HTML: "chars" maps each code
// point that folds to its folded form, "joined" each folded character
// followed by a folded voiced mark to the one character they make.
std::string foldingJson();
