#include "review/Spelling.h"

#include "review/TextFolding.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace {

// Whether `part` stands in `text` at `position` as whole characters: no
// combining mark of the text's next character follows it.
bool standsAt(std::u32string_view text, std::u32string_view part, std::size_t position)
{
    const std::size_t end = position + part.size();
    return !part.empty() && end <= text.size() && text.substr(position, part.size()) == part &&
           (end == text.size() || !isCombiningMark(text[end]));
}

// Depth-first over the answer's positions, remembering the (position, tiles
// used) states that led nowhere: at most length × 2^tiles of them.
class Speller {
public:
    Speller(std::u32string_view word, const std::vector<std::u32string_view>& panels) : answer(word), tiles(panels) {}

    bool spells(std::size_t position, std::uint64_t used)
    {
        if (position == answer.size())
            return true;
        const std::uint64_t state = used * (answer.size() + 1) + position;
        if (failed.contains(state))
            return false;
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            if (used >> t & 1 || !standsAt(answer, tiles[t], position))
                continue;
            if (spells(position + tiles[t].size(), used | std::uint64_t{1} << t))
                return true;
        }
        failed.insert(state);
        return false;
    }

private:
    std::u32string_view answer;
    const std::vector<std::u32string_view>& tiles;
    std::unordered_set<std::uint64_t> failed;
};

// A reel holds a character when it is one of the reel's characters: what
// the player can pick from the reel.
bool holds(std::u32string_view reel, std::u32string_view character)
{
    const std::vector<std::u32string_view> characters = charactersOf(reel);
    return std::find(characters.begin(), characters.end(), character) != characters.end();
}

} // namespace

bool panelsSpell(std::u32string_view answer, const std::vector<std::u32string_view>& tiles)
{
    // The used tiles are bits of one word; a problem has ten panels.
    if (tiles.size() > 63)
        return false;
    return Speller(answer, tiles).spells(0, 0);
}

std::vector<std::size_t> reelsLacking(std::u32string_view answer, const std::vector<std::u32string_view>& reels)
{
    std::vector<std::size_t> lacking;
    const std::vector<std::u32string_view> characters = charactersOf(answer);
    for (std::size_t i = 0; i < characters.size() && i < reels.size(); ++i)
        if (!holds(reels[i], characters[i]))
            lacking.push_back(i);
    return lacking;
}
