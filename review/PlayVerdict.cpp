#include "review/PlayVerdict.h"

#include "review/Spelling.h"
#include "review/TextFolding.h"

#include <algorithm>

namespace {

// Folded, the forms an ox answer takes for ○ and for ×.
constexpr std::u32string_view kCircles = U"○〇◯oO";
constexpr std::u32string_view kCrosses = U"×✕✖☓xX";
constexpr char32_t kCircle = U'○';
constexpr char32_t kCross = U'×';

bool isBlank(std::u32string_view text)
{
    return std::all_of(text.begin(), text.end(), isSpaceOrBreak);
}

PlayVerdict reveal(Fallback why)
{
    PlayVerdict verdict;
    verdict.fallback = why;
    return verdict;
}

// The texts of one field that are not blank, with where they stand.
std::vector<std::size_t> shownOf(const ProblemKind& kind, Field field, const std::vector<std::u32string_view>& texts)
{
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (kind.placeOf(i).field == field && !isBlank(texts[i]))
            shown.push_back(i);
    return shown;
}

PlayPiece pieceOf(std::u32string_view text)
{
    return {std::u32string(text), foldedForComparison(text)};
}

PlayVerdict oxVerdict(std::u32string answer)
{
    const bool circle = answer.size() == 1 && kCircles.find(answer[0]) != std::u32string_view::npos;
    const bool cross = answer.size() == 1 && kCrosses.find(answer[0]) != std::u32string_view::npos;
    if (!circle && !cross)
        return reveal(Fallback::NotCircleOrCross);
    PlayVerdict verdict;
    verdict.mode = PlayMode::Choice;
    verdict.answer = std::u32string(1, circle ? kCircle : kCross);
    verdict.pieces = {{U"○", U"○"}, {U"×", U"×"}};
    verdict.inOrder = true;
    return verdict;
}

PlayVerdict choiceVerdict(const ProblemKind& kind, const std::vector<std::u32string_view>& texts,
                          std::u32string_view answer)
{
    const std::vector<std::size_t> wrong = shownOf(kind, Field::Dummy, texts);
    if (wrong.empty())
        return reveal(Fallback::NoWrongChoice);
    PlayVerdict verdict;
    verdict.mode = PlayMode::Choice;
    verdict.pieces.push_back(pieceOf(answer));
    verdict.answer = verdict.pieces.front().folded;
    for (std::size_t i : wrong)
        verdict.pieces.push_back(pieceOf(texts[i]));
    return verdict;
}

// The answer's characters as it writes them (ｶﾞ is one tile of ｶﾞ), each
// folded by itself: together they fold as the whole answer does.
PlayVerdict rearrangementVerdict(std::u32string_view answer)
{
    PlayVerdict verdict;
    verdict.mode = PlayMode::Tiles;
    verdict.answer = foldedForComparison(answer);
    const std::u32string_view written = trimmedText(answer);
    std::size_t start = 0;
    for (std::size_t i = 1; i <= written.size(); ++i) {
        if (i == written.size() || !isCombiningMark(widthFolded(written[i]))) {
            const std::u32string_view character = written.substr(start, i - start);
            verdict.pieces.push_back({std::u32string(character), widthsFolded(character)});
            start = i;
        }
    }
    return verdict;
}

PlayVerdict panelVerdict(const ProblemKind& kind, const std::vector<std::u32string_view>& texts,
                         std::u32string_view answer)
{
    const std::vector<std::size_t> shown = shownOf(kind, Field::Panel, texts);
    if (shown.empty())
        return reveal(Fallback::NoPanels);
    PlayVerdict verdict;
    verdict.answer = foldedForComparison(answer);
    for (std::size_t i : shown)
        verdict.pieces.push_back(pieceOf(texts[i]));
    std::vector<std::u32string_view> tiles;
    for (const PlayPiece& piece : verdict.pieces)
        tiles.push_back(piece.folded);
    if (!panelsSpell(verdict.answer, tiles))
        return reveal(Fallback::PanelsCannotSpell);
    verdict.mode = PlayMode::Tiles;
    return verdict;
}

PlayVerdict slotVerdict(const ProblemKind& kind, const std::vector<std::u32string_view>& texts,
                        std::u32string_view answer)
{
    const std::vector<std::size_t> shown = shownOf(kind, Field::Reel, texts);
    if (shown.empty())
        return reveal(Fallback::NoReels);
    PlayVerdict verdict;
    verdict.answer = foldedForComparison(answer);
    const std::vector<std::u32string_view> characters = charactersOf(verdict.answer);
    if (characters.size() != shown.size()) {
        verdict.fallback = Fallback::ReelCount;
        verdict.reelCount = shown.size();
        return verdict;
    }
    std::vector<std::u32string> folded;
    for (std::size_t i : shown)
        folded.push_back(foldedForComparison(texts[i]));
    const std::vector<std::u32string_view> reels(folded.begin(), folded.end());
    for (std::size_t position : reelsLacking(verdict.answer, reels))
        verdict.lacking.push_back({shown[position], position});
    if (!verdict.lacking.empty()) {
        verdict.fallback = Fallback::ReelLacksCharacter;
        return verdict;
    }
    verdict.mode = PlayMode::Reels;
    for (const std::u32string& reel : folded) {
        std::vector<std::u32string>& options = verdict.reels.emplace_back();
        for (std::u32string_view character : charactersOf(reel))
            if (std::find(options.begin(), options.end(), character) == options.end())
                options.emplace_back(character);
    }
    return verdict;
}

} // namespace

PlayVerdict playVerdict(const ProblemKind& kind, const std::vector<std::u32string_view>& texts)
{
    const std::u32string_view answer = texts[*kind.positionOf(Field::Answer, 0)];
    if (isBlank(answer))
        return reveal(Fallback::BlankAnswer);
    switch (kind.tag) {
    case OX: return oxVerdict(foldedForComparison(answer));
    case YONTAKU:
    case RENSOU: return choiceVerdict(kind, texts, answer);
    case NARABEKAE: return rearrangementVerdict(answer);
    case PANEL: return panelVerdict(kind, texts, answer);
    case SLOT: return slotVerdict(kind, texts, answer);
    }
    return reveal(Fallback::None);
}

PlayVerdict playVerdict(const ProblemBase& problem)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return {};
    std::vector<std::u32string> points;
    for (const std::string& text : kind->textsOf(problem))
        points.push_back(codePointsOf(text));
    return playVerdict(*kind, std::vector<std::u32string_view>(points.begin(), points.end()));
}
