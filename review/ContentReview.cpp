#include "review/ContentReview.h"

#include "review/PlayVerdict.h"
#include "review/TextFolding.h"
#include "text/ShiftJis.h"

#include <algorithm>

namespace {

struct Line {
    ProblemPlace place;
    const ProblemBase* problem;
    const ProblemKind* kind;
};

// One text of a problem: its field and list number, its bytes, and its
// code points.
struct Text {
    FieldPlace field;
    const std::string* bytes;
    std::u32string_view points;
};

// The code points of every text of a problem, decoded in one conversion:
// the texts joined by NUL, which no text holds (a quiz file cannot, and
// import refuses it). Texts that are no Shift-JIS are decoded one by one.
class DecodedTexts {
public:
    explicit DecodedTexts(const TextList& texts)
    {
        std::string joined;
        std::size_t size = 0;
        for (const std::string& text : texts)
            size += text.size() + 1;
        joined.reserve(size);
        for (const std::string& text : texts) {
            joined += text;
            joined += '\0';
        }
        views.reserve(texts.size());
        std::optional<std::u32string> points = decodedText(joined);
        if (!points) {
            decodeEach(texts);
            return;
        }
        all = std::move(*points);
        std::size_t start = 0;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::size_t end = all.find(U'\0', start);
            if (end == std::u32string::npos) {
                decodeEach(texts);
                return;
            }
            views.push_back(std::u32string_view(all).substr(start, end - start));
            start = end + 1;
        }
        if (start != all.size())
            decodeEach(texts);
    }

    std::u32string_view operator[](std::size_t i) const { return views[i]; }

private:
    void decodeEach(const TextList& texts)
    {
        views.clear();
        each.clear();
        for (const std::string& text : texts)
            each.push_back(codePointsOf(text));
        for (const std::u32string& points : each)
            views.push_back(points);
    }

    std::u32string all;
    std::vector<std::u32string> each;
    std::vector<std::u32string_view> views;
};

std::string shiftJisOf(std::u32string_view character)
{
    return encodeShiftJis(character).value_or("?");
}

// The rules over one problem by itself.
class Reviewer {
public:
    Reviewer(const Line& reviewed, std::vector<ContentFinding>& found)
        : line(reviewed), kind(*line.kind), texts(kind.textsOf(*line.problem)), decoded(texts), findings(found)
    {
        placed.reserve(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i)
            placed.push_back({fieldPlaceOf(kind, i), &texts[i], decoded[i]});
    }

    const Text& naming() const { return placed[*kind.positionOf(kind.namingField, 0)]; }
    const Text& answer() const { return placed[*kind.positionOf(Field::Answer, 0)]; }

    void review()
    {
        std::vector<std::pair<FieldPlace, std::u32string>> choices; // answer and wrong choices, folded
        choices.reserve(kMinDummies + 1);
        bool allPanelsBlank = true;
        bool allReelsBlank = true;
        for (const Text& text : placed) {
            const Field field = text.field.field;
            const bool blank = isBlankText(*text.bytes);
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
            if (isSpaceOrBreak(text.points.front()) || isSpaceOrBreak(text.points.back()))
                add(Rule::SurroundingSpace, text);
            if (kind.positionOf(Field::Dummy, 0))
                checkSameChoice(text, choices);
        }
        reviewPlay(allPanelsBlank, allReelsBlank);
    }

    ContentFinding& add(Rule rule, const Text& text)
    {
        ContentFinding finding;
        finding.place = line.place;
        finding.kind = &kind;
        finding.field = text.field;
        finding.rule = rule;
        finding.text = text.bytes ? *text.bytes : std::string();
        findings.push_back(std::move(finding));
        return findings.back();
    }

private:
    // Compared with the answer and the wrong choices before it.
    void checkSameChoice(const Text& text, std::vector<std::pair<FieldPlace, std::u32string>>& choices)
    {
        std::u32string folded = foldedForComparison(text.points);
        for (const auto& [place, earlier] : choices) {
            if (earlier == folded) {
                add(Rule::SameChoice, text).other = place;
                return;
            }
        }
        choices.emplace_back(text.field, std::move(folded));
    }

    // A rule about a whole list has no text of its own.
    static Text wholeList(Field field) { return {{field, 0}, nullptr, {}}; }

    // How the problem plays says whether its panels or reels give the
    // answer; a blank answer or list is a finding of its own.
    void reviewPlay(bool allPanelsBlank, bool allReelsBlank)
    {
        if (kind.positionOf(Field::Panel, 0) && allPanelsBlank)
            add(Rule::Blank, wholeList(Field::Panel));
        if (kind.positionOf(Field::Reel, 0) && allReelsBlank)
            add(Rule::Blank, wholeList(Field::Reel));
        // Only panels and reels make findings of how a problem plays.
        if (!kind.positionOf(Field::Panel, 0) && !kind.positionOf(Field::Reel, 0))
            return;
        std::vector<std::u32string_view> points;
        points.reserve(placed.size());
        for (const Text& text : placed)
            points.push_back(text.points);
        const PlayVerdict verdict = playVerdict(kind, points);
        if (verdict.fallback == Fallback::PanelsCannotSpell)
            add(Rule::PanelsCannotSpell, answer());
        if (verdict.fallback == Fallback::ReelCount)
            add(Rule::ReelCount, answer()).reelCount = verdict.reelCount;
        const std::vector<std::u32string_view> characters = charactersOf(verdict.answer);
        for (const LackingReel& reel : verdict.lacking) {
            ContentFinding& finding = add(Rule::ReelLacksCharacter, placed[reel.text]);
            finding.character = shiftJisOf(characters[reel.position]);
            finding.position = reel.position + 1;
        }
    }

    const Line& line;
    const ProblemKind& kind;
    const TextList texts;
    const DecodedTexts decoded;
    std::vector<Text> placed;
    std::vector<ContentFinding>& findings;
};

// What makes problems the same: their kind and their folded naming text,
// and where the answer is the content, their folded answer too (after a
// NUL, which no text holds).
std::u32string namedAs(std::u32string folded, const ProblemKind& kind, std::u32string_view foldedAnswer)
{
    if (answerIsTheContent(kind)) {
        folded += U'\0';
        folded += foldedAnswer;
    }
    folded += char32_t(kind.tag);
    return folded;
}

} // namespace

bool answerIsTheContent(const ProblemKind& kind)
{
    return kind.tag == NARABEKAE || kind.tag == PANEL || kind.tag == SLOT;
}

FieldPlace fieldPlaceOf(const ProblemKind& kind, std::size_t position)
{
    const TextPlace place = kind.placeOf(position);
    // A list's entries are numbered from 1; a single text has no number.
    return {place.field, fieldInfo(place.field).isList ? place.occurrence + 1 : 0};
}

void ContentReview::add(const ProblemBase& problem)
{
    ++problems;
    addLine({problems, 0}, problem);
    const ProblemRefs branches = problem.getBranches();
    for (std::size_t j = 0; j < branches.size(); ++j)
        addLine({problems, j + 1}, *branches[j]);
}

void ContentReview::addLine(ProblemPlace place, const ProblemBase& problem)
{
    const Line line{place, &problem, findKind(problem.type)};
    if (line.kind) {
        Reviewer reviewer(line, findings);
        reviewer.review();
        const Text& naming = reviewer.naming();
        if (!isBlankText(*naming.bytes)) {
            const std::u32string name = namedAs(foldedForComparison(naming.points), *line.kind,
                                                answerIsTheContent(*line.kind)
                                                    ? foldedForComparison(reviewer.answer().points)
                                                    : std::u32string());
            nameHashes.emplace_back(std::hash<std::u32string>{}(name), named.size());
            named.push_back({ends.size(), place, line.kind, naming.field, *naming.bytes, *reviewer.answer().bytes});
        }
    }
    ends.push_back(findings.size());
}

std::unordered_map<std::size_t, std::vector<std::size_t>> ContentReview::sameNamed()
{
    std::unordered_map<std::size_t, std::vector<std::size_t>> groups;
    std::sort(nameHashes.begin(), nameHashes.end());
    for (auto run = nameHashes.begin(); run != nameHashes.end();) {
        const auto end = std::find_if(run, nameHashes.end(), [&](const auto& entry) { return entry.first != run->first; });
        if (end - run > 1) {
            // Names of one hash, told apart by their texts; in set order.
            std::vector<std::pair<std::u32string, std::vector<std::size_t>>> names;
            for (auto entry = run; entry != end; ++entry) {
                const Named& one = named[entry->second];
                std::u32string name = namedAs(foldedText(one.naming), *one.kind,
                                              answerIsTheContent(*one.kind) ? foldedText(one.answer) : std::u32string());
                const auto same = std::find_if(names.begin(), names.end(), [&](const auto& n) { return n.first == name; });
                if (same == names.end())
                    names.push_back({std::move(name), {entry->second}});
                else
                    same->second.push_back(entry->second);
            }
            for (auto& [name, group] : names)
                if (group.size() > 1)
                    groups.emplace(named[group.front()].line, std::move(group));
        }
        run = end;
    }
    return groups;
}

// The finding of a group of problems of one kind with the same naming
// text, at its first problem; said more strongly when the answers differ.
ContentFinding ContentReview::sameProblems(const std::vector<std::size_t>& group) const
{
    const Named& first = named[group.front()];
    ContentFinding finding;
    finding.place = first.place;
    finding.kind = first.kind;
    finding.field = first.namingField;
    finding.rule = Rule::SameProblem;
    finding.text = first.naming;
    const std::u32string firstAnswer = foldedText(first.answer);
    for (std::size_t member : group) {
        finding.group.push_back(named[member].place);
        finding.answers.push_back(named[member].answer);
        if (member != group.front() && foldedText(named[member].answer) != firstAnswer)
            finding.rule = Rule::SameProblemOtherAnswer;
    }
    return finding;
}

std::vector<ContentFinding> ContentReview::finish()
{
    const std::unordered_map<std::size_t, std::vector<std::size_t>> groups = sameNamed();
    if (groups.empty())
        return std::move(findings);
    // Each group's finding after the other findings of its first line.
    std::vector<ContentFinding> ordered;
    ordered.reserve(findings.size() + groups.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
        for (; next < ends[i]; ++next)
            ordered.push_back(std::move(findings[next]));
        if (const auto group = groups.find(i); group != groups.end())
            ordered.push_back(sameProblems(group->second));
    }
    return ordered;
}

std::vector<ContentFinding> reviewContent(const ProblemList& problems)
{
    ContentReview review;
    for (const ProblemPtr& problem : problems)
        review.add(*problem);
    return review.finish();
}
