#include "review/ContentReview.h"

#include "model/ProblemLabels.h"
#include "review/Spelling.h"
#include "review/TextFolding.h"
#include "xml/ShiftJis.h"

#include <unordered_map>

namespace {

struct Line {
    ProblemPlace place;
    const ProblemBase* problem;
};

// Each top-level problem, then its branches: the order of the set.
std::vector<Line> linesOf(const ProblemList& problems)
{
    std::vector<Line> lines;
    lines.reserve(problems.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
        lines.push_back({{i + 1, 0}, problems[i].get()});
        const ProblemRefs branches = problems[i]->getBranches();
        for (std::size_t j = 0; j < branches.size(); ++j)
            lines.push_back({{i + 1, j + 1}, branches[j].get()});
    }
    return lines;
}

// A problem's texts with the field and list number of each.
struct Text {
    FieldPlace field;
    const std::string* text;
};

std::vector<Text> textsWithPlaces(const ProblemKind& kind, const TextList& texts)
{
    std::vector<Text> placed;
    std::size_t occurrence = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Field field = kind.textFields[i];
        occurrence = i > 0 && kind.textFields[i - 1] == field ? occurrence + 1 : 0;
        const bool isList = fieldInfo(field).isList;
        placed.push_back({{field, isList ? occurrence + 1 : 0}, &texts[i]});
    }
    return placed;
}

std::string shiftJisOf(const std::u32string& character)
{
    return encodeShiftJis(character).value_or("?");
}

// Problems of one kind with the same naming text: found by hashing, so
// that a set of any size is looked through once.
class SameProblems {
public:
    explicit SameProblems(const std::vector<Line>& lines)
    {
        std::unordered_map<std::u32string, std::vector<std::size_t>> byName;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string name = namingText(*lines[i].problem);
            if (isBlankText(name))
                continue;
            byName[char32_t(lines[i].problem->type) + foldedText(name)].push_back(i);
        }
        for (auto& [name, members] : byName)
            if (members.size() > 1)
                groupAt.emplace(members.front(), std::move(members));
    }

    // The lines of the group whose first line is `line`; null for none.
    const std::vector<std::size_t>* groupStartingAt(std::size_t line) const
    {
        const auto found = groupAt.find(line);
        return found == groupAt.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<std::size_t, std::vector<std::size_t>> groupAt;
};

std::string answerOf(const ProblemKind& kind, const TextList& texts)
{
    return texts[*kind.positionOf(Field::Answer, 0)];
}

class Reviewer {
public:
    Reviewer(const Line& reviewed, const ProblemKind& itsKind, std::vector<ContentFinding>& found)
        : line(reviewed), kind(itsKind), texts(kind.textsOf(*line.problem)), placed(textsWithPlaces(kind, texts)),
          findings(found)
    {
    }

    void review()
    {
        std::vector<std::pair<FieldPlace, std::u32string>> choices; // answer and wrong choices, folded
        bool allPanelsBlank = true;
        bool allReelsBlank = true;
        for (const Text& text : placed) {
            const Field field = text.field.field;
            const bool blank = isBlankText(*text.text);
            if (field == Field::Panel || field == Field::Reel) {
                (field == Field::Panel ? allPanelsBlank : allReelsBlank) &= blank;
                continue;
            }
            if (blank) {
                add(Rule::Blank, text);
                continue;
            }
            if (field != Field::Answer && field != Field::Dummy)
                continue;
            const std::u32string points = codePointsOf(*text.text);
            if (isSpaceOrBreak(points.front()) || isSpaceOrBreak(points.back()))
                add(Rule::SurroundingSpace, text);
            if (kind.positionOf(Field::Dummy, 0))
                checkSameChoice(text, foldedForComparison(points), choices);
        }
        if (kind.positionOf(Field::Panel, 0))
            reviewPanels(allPanelsBlank);
        if (kind.positionOf(Field::Reel, 0))
            reviewReels(allReelsBlank);
    }

    void addSameProblems(const std::vector<Line>& lines, const std::vector<std::size_t>& group)
    {
        ContentFinding& finding = add(Rule::SameProblem, placed[*kind.positionOf(kind.namingField, 0)]);
        std::u32string firstAnswer;
        for (std::size_t member : group) {
            const ProblemBase& problem = *lines[member].problem;
            finding.group.push_back(lines[member].place);
            finding.answers.push_back(answerOf(kind, kind.textsOf(problem)));
            const std::u32string answer = foldedText(finding.answers.back());
            if (member == group.front())
                firstAnswer = answer;
            else if (answer != firstAnswer)
                finding.rule = Rule::SameProblemOtherAnswer;
        }
    }

private:
    ContentFinding& add(Rule rule, const Text& text)
    {
        ContentFinding finding;
        finding.place = line.place;
        finding.kind = &kind;
        finding.field = text.field;
        finding.rule = rule;
        finding.text = text.text ? *text.text : std::string();
        findings.push_back(std::move(finding));
        return findings.back();
    }

    // Compared with the answer and the wrong choices before it.
    void checkSameChoice(const Text& text, std::u32string folded,
                         std::vector<std::pair<FieldPlace, std::u32string>>& choices)
    {
        for (const auto& [place, earlier] : choices) {
            if (earlier == folded) {
                add(Rule::SameChoice, text).other = place;
                return;
            }
        }
        choices.emplace_back(text.field, std::move(folded));
    }

    // Texts of the whole list have no text of their own.
    static Text wholeList(Field field) { return {{field, 0}, nullptr}; }

    // The non-blank texts of a list as characters, with their places.
    std::vector<std::pair<const Text*, Characters>> shownTexts(Field field) const
    {
        std::vector<std::pair<const Text*, Characters>> shown;
        for (const Text& text : placed)
            if (text.field.field == field && !isBlankText(*text.text))
                shown.emplace_back(&text, charactersOf(foldedText(*text.text)));
        return shown;
    }

    const Text& answerText() const { return placed[*kind.positionOf(Field::Answer, 0)]; }

    void reviewPanels(bool allBlank)
    {
        if (allBlank) {
            add(Rule::Blank, wholeList(Field::Panel));
            return;
        }
        const Text& answer = answerText();
        if (isBlankText(*answer.text))
            return;
        std::vector<Characters> tiles;
        for (auto& [text, characters] : shownTexts(Field::Panel))
            tiles.push_back(std::move(characters));
        if (!panelsSpell(charactersOf(foldedText(*answer.text)), tiles))
            add(Rule::PanelsCannotSpell, answer);
    }

    void reviewReels(bool allBlank)
    {
        if (allBlank) {
            add(Rule::Blank, wholeList(Field::Reel));
            return;
        }
        const Text& answer = answerText();
        if (isBlankText(*answer.text))
            return;
        const Characters characters = charactersOf(foldedText(*answer.text));
        const auto shown = shownTexts(Field::Reel);
        if (characters.size() != shown.size()) {
            add(Rule::ReelCount, answer).reelCount = shown.size();
            return;
        }
        std::vector<Characters> reels;
        for (const auto& [text, reel] : shown)
            reels.push_back(reel);
        for (std::size_t position : reelsLacking(characters, reels)) {
            ContentFinding& finding = add(Rule::ReelLacksCharacter, *shown[position].first);
            finding.character = shiftJisOf(characters[position]);
            finding.position = position + 1;
        }
    }

    const Line& line;
    const ProblemKind& kind;
    const TextList texts;
    const std::vector<Text> placed;
    std::vector<ContentFinding>& findings;
};

} // namespace

std::vector<ContentFinding> reviewContent(const ProblemList& problems)
{
    const std::vector<Line> lines = linesOf(problems);
    const SameProblems same(lines);
    std::vector<ContentFinding> findings;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ProblemKind* kind = findKind(lines[i].problem->type);
        if (!kind)
            continue;
        Reviewer reviewer(lines[i], *kind, findings);
        reviewer.review();
        if (const std::vector<std::size_t>* group = same.groupStartingAt(i))
            reviewer.addSameProblems(lines, *group);
    }
    return findings;
}
