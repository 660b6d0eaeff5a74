// Whether a panel or slot problem can be played as its answer says: the
// answer spelled from the panels, or picked reel by reel. Texts are folded
// (TextFolding.h) before they come here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One character as a reader counts it (TextFolding.h charactersOf).
using Characters = std::vector<std::u32string>;

// A panel is one tile, however many characters it shows: the answer is
// spelled when it is a run of tiles, each tile used at most once.
bool panelsSpell(const Characters& answer, const std::vector<Characters>& tiles);

// The positions (from 0) whose character the reel at that position does
// not hold, for an answer of as many characters as there are reels.
std::vector<std::size_t> reelsLacking(const Characters& answer, const std::vector<Characters>& reels);
