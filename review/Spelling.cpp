#include "review/Spelling.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace {

// Depth-first over the answer's positions, remembering the (position, tiles
// used) states that led nowhere: at most length × 2^tiles of them.
class Speller {
public:
    Speller(const Characters& word, const std::vector<Characters>& panels) : answer(word), tiles(panels) {}

    bool spells(std::size_t position, std::uint64_t used)
    {
        if (position == answer.size())
            return true;
        const std::uint64_t state = used * (answer.size() + 1) + position;
        if (failed.contains(state))
            return false;
        for (std::size_t t = 0; t < tiles.size(); ++t) {
            if (used >> t & 1 || !startsAt(tiles[t], position))
                continue;
            if (spells(position + tiles[t].size(), used | std::uint64_t{1} << t))
                return true;
        }
        failed.insert(state);
        return false;
    }

private:
    bool startsAt(const Characters& tile, std::size_t position) const
    {
        return !tile.empty() && tile.size() <= answer.size() - position &&
               std::equal(tile.begin(), tile.end(), answer.begin() + static_cast<std::ptrdiff_t>(position));
    }

    const Characters& answer;
    const std::vector<Characters>& tiles;
    std::unordered_set<std::uint64_t> failed;
};

} // namespace

bool panelsSpell(const Characters& answer, const std::vector<Characters>& tiles)
{
    // The used tiles are bits of one word; a problem has ten panels.
    if (tiles.size() > 63)
        return false;
    return Speller(answer, tiles).spells(0, 0);
}

std::vector<std::size_t> reelsLacking(const Characters& answer, const std::vector<Characters>& reels)
{
    std::vector<std::size_t> lacking;
    for (std::size_t i = 0; i < answer.size() && i < reels.size(); ++i)
        if (std::find(reels[i].begin(), reels[i].end(), answer[i]) == reels[i].end())
            lacking.push_back(i);
    return lacking;
}
