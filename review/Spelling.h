// Whether a panel or slot problem can be played as its answer says: the
// answer spelled from the panels, or picked reel by reel. Texts are folded
// (TextFolding.h) before they come here; a character is a code point with
// the combining marks after it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// A panel is one tile, however many characters it shows: the answer is
// spelled when it is a run of tiles, each tile used at most once.
bool panelsSpell(std::u32string_view answer, const std::vector<std::u32string_view>& tiles);

// The positions (from 0) of the answer's characters that the reel at that
// position does not hold, for an answer of as many characters as there are
// reels.
std::vector<std::size_t> reelsLacking(std::u32string_view answer, const std::vector<std::u32string_view>& reels);
