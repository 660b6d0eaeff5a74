// Each rule of the content review with texts it must report and texts it
// must not, on top-level problems and branches.
#include "review/ContentReview.h"
#include "review/FindingText.h"

#include "review/TextFolding.h"

#include "model/ProblemFields.h"

#include "QuizTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Line {
    int kind;
    TextList texts;
    std::vector<Line> branches = {};
};

ProblemList setOf(const std::vector<Line>& lines)
{
    ProblemList problems;
    for (const Line& line : lines) {
        ProblemPtr problem = createProblem(line.kind, line.texts);
        for (const Line& branch : line.branches)
            problem->addBranch(createProblem(branch.kind, branch.texts));
        problems.push_back(problem);
    }
    return problems;
}

// "2.1 dummy 3 same-choice": problem.branch, field, index, rule.
std::vector<std::string> reviewed(const std::vector<Line>& lines)
{
    std::vector<std::string> shown;
    for (const ContentFinding& finding : reviewContent(setOf(lines)))
        shown.push_back(std::to_string(finding.place.problem) + "." + std::to_string(finding.place.branch) + " " +
                        fieldInfo(finding.field.field).elementName + " " + std::to_string(finding.field.index) +
                        " " + ruleName(finding.rule));
    return shown;
}

using Findings = std::vector<std::string>;

TEST(ContentReview, BlankWhereThePlayerSeesSomething)
{
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "A", "B", " ", "　"}}}),
              (Findings{"1.0 dummy 2 blank", "1.0 dummy 3 blank"}));
    EXPECT_EQ(reviewed({{OX, {" ", "○"}}, {OX, {"Q", ""}}}), (Findings{"1.0 question 0 blank", "2.0 answer 0 blank"}));
    EXPECT_EQ(reviewed({{RENSOU, {" ", "h2", "\r\n", "h4", "A", "B", "C", "D"}}}),
              (Findings{"1.0 hint 1 blank", "1.0 hint 3 blank"}));
    EXPECT_EQ(reviewed({{NARABEKAE, {"Q", " "}, {{NARABEKAE, {"Q2", "A"}}, {NARABEKAE, {"　", "A"}}}}}),
              (Findings{"1.0 answer 0 blank", "1.2 question 0 blank"}));
    // Panels and reels are blank only all together.
    EXPECT_EQ(reviewed({{PANEL, {"Q", "A"}}, {SLOT, {"Q", "A"}}}),
              (Findings{"1.0 panel 0 blank", "2.0 reel 0 blank"}));
    EXPECT_EQ(reviewed({{PANEL, {"Q", "A", " ", "A"}}, {SLOT, {"Q", "A", " ", "A"}}}), Findings{});
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "A", "B", "C", "D"}}, {OX, {"Q", "○"}}}), Findings{});
}

TEST(ContentReview, ChoicesThatCoincideAfterFolding)
{
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "ABC", "ＡＢＣ", "x", "y"}}}), Findings{"1.0 dummy 1 same-choice"});
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "カナ", "x", "ｶﾅ", "y"}}}), Findings{"1.0 dummy 2 same-choice"});
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "A", "x", "y", "x"}}}), Findings{"1.0 dummy 3 same-choice"});
    EXPECT_EQ(reviewed({{RENSOU, {"h1", "h2", "h3", "h4", "東京", "大阪", "東京", "京都"}}}),
              Findings{"1.0 dummy 2 same-choice"});
    // Letter case tells choices apart; blank choices are told as blank only.
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "abc", "ABC", "Abc", "aBc"}}}), Findings{});
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "A", " ", " ", "B"}}}), (Findings{"1.0 dummy 1 blank", "1.0 dummy 2 blank"}));
    // A text that is no Shift-JIS leaves the others of its problem folded.
    EXPECT_EQ(reviewed({{YONTAKU, {"Q\x81", "ＡＢＣ", "x", "ABC", "y"}}}), Findings{"1.0 dummy 2 same-choice"});
    // Only choices: an ox or panel answer equal to its question is no choice.
    EXPECT_EQ(reviewed({{OX, {"○", "○"}}}), Findings{});

    const std::vector<ContentFinding> found = reviewContent(setOf({{YONTAKU, {"Q", "A", "x", "A", "x"}}}));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(findingSentence(found[0]), "選択肢 2「A」が答えと同じです");
    EXPECT_EQ(findingSentence(found[1]), "選択肢 3「x」が選択肢 1 と同じです");
}

TEST(ContentReview, SpacesOrLineBreaksAroundAnAnswerOrChoice)
{
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "東京　", "x", "\ny", " z"}}}),
              (Findings{"1.0 answer 0 surrounding-space", "1.0 dummy 2 surrounding-space",
                        "1.0 dummy 3 surrounding-space"}));
    EXPECT_EQ(reviewed({{OX, {"Q", "○ "}}}), Findings{"1.0 answer 0 surrounding-space"});
    // Inside a text, or around a question, spaces are the author's.
    EXPECT_EQ(reviewed({{YONTAKU, {"Q ", "東 京", "x　y", "a\r\nb", "c"}}}), Findings{});
    // The same choice once spaces are dropped is both.
    EXPECT_EQ(reviewed({{YONTAKU, {"Q", "A", "A　", "x", "y"}}}),
              (Findings{"1.0 dummy 1 surrounding-space", "1.0 dummy 1 same-choice"}));
}

TEST(ContentReview, TheSameProblemTwiceIsToldOnceWithEveryNumber)
{
    const std::vector<Line> set = {
        {YONTAKU, {"首都は？", "東京", "a", "b", "c"}, {{YONTAKU, {"Ｑ１", "x", "a", "b", "c"}}}},
        {OX, {"首都は？", "○"}},                  // another kind
        {YONTAKU, {"首都は？　", "東京", "d", "e", "f"}}, // the same answer
        {YONTAKU, {"Q1", "y", "a", "b", "c"}},     // the branch's question, another answer
        {YONTAKU, {"首都は", "東京", "a", "b", "c"}},
    };
    EXPECT_EQ(reviewed(set), (Findings{"1.0 question 0 same-problem", "1.1 question 0 same-problem-other-answer"}));
    const std::vector<ContentFinding> found = reviewContent(setOf(set));
    EXPECT_EQ(found[0].group, (std::vector<ProblemPlace>{{1, 0}, {3, 0}}));
    EXPECT_EQ(found[1].group, (std::vector<ProblemPlace>{{1, 1}, {4, 0}}));
    EXPECT_EQ(findingSentence(found[0]), "問題「首都は？」が同じ問題があります: 問題 1、問題 3");
    EXPECT_EQ(findingSentence(found[1]), "問題「Ｑ１」が同じで答えの違う問題があります: 問題 1 の分岐 1「x」、問題 4「y」");
    EXPECT_EQ(problemName(found[1].place, found[1].kind), "問題 1 (四択) の分岐 1");

    // Association problems are named by their first hint; blank names are
    // told as blank, not as the same.
    EXPECT_EQ(reviewed({{RENSOU, {"h", "1", "2", "3", "A", "B", "C", "D"}},
                        {RENSOU, {"ｈ", "4", "5", "6", "A", "B", "C", "D"}}}),
              Findings{"1.0 hint 1 same-problem"});
    EXPECT_EQ(reviewed({{OX, {" ", "○"}}, {OX, {" ", "○"}}}),
              (Findings{"1.0 question 0 blank", "2.0 question 0 blank"}));
}

TEST(ContentReview, PanelsThatCannotSpellTheAnswer)
{
    const auto panel = [](TextList texts) { return reviewed({{PANEL, std::move(texts)}}); };
    EXPECT_EQ(panel({"Q", "カナ", "ナ", "x", "カ"}), Findings{});
    EXPECT_EQ(panel({"Q", "ｶﾅ", "カ", " ", "ナ"}), Findings{});
    EXPECT_EQ(panel({"Q", "ガ", "ｶﾞ"}), Findings{});
    EXPECT_EQ(panel({"Q", "カカ", "カ", "ナ"}), Findings{"1.0 answer 0 panels-cannot-spell"});
    EXPECT_EQ(panel({"Q", "カナダ", "カ", "ナ"}), Findings{"1.0 answer 0 panels-cannot-spell"});
    // A panel of several characters is one tile: a run of the answer.
    EXPECT_EQ(panel({"Q", "東京都", "都", "東京"}), Findings{});
    EXPECT_EQ(panel({"Q", "東京都", "東", "京都", "東京"}), Findings{});
    EXPECT_EQ(panel({"Q", "京東", "東京"}), Findings{"1.0 answer 0 panels-cannot-spell"});
    // A kana with a mark it has no precomposed form for is one character.
    EXPECT_EQ(panel({"Q", "ｱﾞｲ", "ｱﾞ", "イ"}), Findings{});
    EXPECT_EQ(panel({"Q", "ｱﾞｲ", "ア", "イ"}), Findings{"1.0 answer 0 panels-cannot-spell"});
    // A blank answer is told as blank only.
    EXPECT_EQ(panel({"Q", " ", "カ"}), Findings{"1.0 answer 0 blank"});
}

TEST(ContentReview, ReelsThatLackTheAnswersCharacter)
{
    const auto slot = [](TextList texts) { return reviewed({{SLOT, std::move(texts)}}); };
    EXPECT_EQ(slot({"Q", "ABC", "xA", "yBz", "C"}), Findings{});
    EXPECT_EQ(slot({"Q", "ＡB", "A", " ", "Ｂ"}), Findings{}); // blank reels do not count
    EXPECT_EQ(slot({"Q", "ｶﾞｷ", "ガ", "ｷ"}), Findings{});    // ｶﾞ is one character
    EXPECT_EQ(slot({"Q", "AB", "A", "B", "C"}), Findings{"1.0 answer 0 reel-count"});
    EXPECT_EQ(slot({"Q", "ABC", "A", "X", "C", " ", "Y"}), Findings{"1.0 answer 0 reel-count"});
    EXPECT_EQ(slot({"Q", "ABC", "A", "X", "Y"}), (Findings{"1.0 reel 2 reel-lacks-character", "1.0 reel 3 reel-lacks-character"}));
    EXPECT_EQ(slot({"Q", " ", "A"}), Findings{"1.0 answer 0 blank"});
    EXPECT_EQ(slot({"Q", "ｱﾞ", "ｲｱﾞ"}), Findings{});
    EXPECT_EQ(slot({"Q", "ｱﾞ", "ｲｱ"}), Findings{"1.0 reel 1 reel-lacks-character"});

    const std::vector<ContentFinding> found = reviewContent(setOf({{SLOT, {"Q", "AｶﾞC", "A", " ", "カキ", "C"}}}));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].field, (FieldPlace{Field::Reel, 3}));
    EXPECT_EQ(findingSentence(found[0]), "リール 3「カキ」に答えの 2 文字目「ガ」がありません");
    EXPECT_EQ(findingSentence(reviewContent(setOf({{SLOT, {"Q", "ｶﾞｷﾞ", "ガ"}}}))[0]),
              "答え「ｶﾞｷﾞ」は 2 文字で、空欄でないリール 1 本と数が違います");
}

TEST(ContentReview, FindingsComeInSetOrder)
{
    const std::vector<Line> set = {
        {OX, {"Q1", " "}, {{OX, {" ", "○"}}, {OX, {"Q1b", " "}}}},
        {YONTAKU, {" ", "A", "B", "C", "D"}},
    };
    EXPECT_EQ(reviewed(set), (Findings{"1.0 answer 0 blank", "1.1 question 0 blank", "1.2 answer 0 blank",
                                       "2.0 question 0 blank"}));
}

// Groups of the same problem in random sets with many repeats, against
// a plain map of every line's kind and folded naming text (and for a
// rearrangement its folded answer): each group is
// told once, at its first line and after that line's other findings, with
// every member in set order.
TEST(ContentReview, GroupsOfTheSameProblemAsAPlainMapFindsThem)
{
    const std::vector<std::string> questions = {"a", "A", "ａ", " a", "b", "首都", "首都 ", " ", "c"};
    const std::vector<std::string> answers = {"x", "X", " x", "y", " "}; // with findings of their own
    std::mt19937 random(20261210);
    const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 200; ++round) {
        std::vector<Line> set;
        for (std::size_t n = 1 + random() % 12; n > 0; --n) {
            const int kind = random() % 2 ? OX : NARABEKAE;
            Line line{kind, {pick(questions), pick(answers)}};
            for (std::size_t b = random() % 3; b > 0; --b)
                line.branches.push_back({kind, {pick(questions), pick(answers)}});
            set.push_back(line);
        }
        // The lines in set order, and the groups a map of names gives.
        std::vector<std::pair<ProblemPlace, const Line*>> lines;
        for (std::size_t i = 0; i < set.size(); ++i) {
            lines.push_back({{i + 1, 0}, &set[i]});
            for (std::size_t j = 0; j < set[i].branches.size(); ++j)
                lines.push_back({{i + 1, j + 1}, &set[i].branches[j]});
        }
        std::map<std::u32string, std::vector<std::size_t>> byName;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Line& line = *lines[i].second;
            // A rearrangement's question is an instruction: its answer counts too.
            const std::u32string answer = line.kind == NARABEKAE ? U'\0' + foldedText(line.texts[1]) : U"";
            if (!isBlankText(line.texts[0]))
                byName[foldedText(line.texts[0]) + answer + char32_t(line.kind)].push_back(i);
        }
        std::map<std::size_t, std::vector<std::size_t>> expected; // by first line
        for (const auto& [name, members] : byName)
            if (members.size() > 1)
                expected[members.front()] = members;

        const std::vector<ContentFinding> found = reviewContent(setOf(set));
        std::map<std::size_t, std::vector<std::size_t>> told;
        std::size_t lastLine = 0;
        std::size_t lastGroupLine = lines.size();
        for (const ContentFinding& finding : found) {
            const auto at = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.first == finding.place; });
            const std::size_t line = static_cast<std::size_t>(at - lines.begin());
            ASSERT_TRUE(line > lastLine || (line == lastLine && lastGroupLine != line)) << "round " << round;
            lastLine = line;
            if (finding.rule != Rule::SameProblem && finding.rule != Rule::SameProblemOtherAnswer)
                continue;
            lastGroupLine = line;
            std::vector<std::size_t> members;
            bool otherAnswer = false;
            for (const ProblemPlace& place : finding.group) {
                const auto member = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.first == place; });
                members.push_back(static_cast<std::size_t>(member - lines.begin()));
                otherAnswer |= foldedText(member->second->texts[1]) != foldedText(at->second->texts[1]);
            }
            EXPECT_EQ(finding.rule == Rule::SameProblemOtherAnswer, otherAnswer) << "round " << round;
            told[line] = members;
        }
        EXPECT_EQ(told, expected) << "round " << round;
    }
}

// In the kinds where the player builds the answer, a question many
// problems share is an instruction: only the same question with the same
// answer is the same problem. In the other kinds the question alone is.
TEST(ContentReview, ASharedInstructionIsNoSameProblem)
{
    const std::string instruction = "文字を並べ替えて、正しい言葉にしなさい。";
    const struct {
        int kind;
        TextList first, otherAnswer, sameAnswer;
    } cases[] = {
        {NARABEKAE, {instruction, "イヌ"}, {instruction, "ネコ"}, {instruction, "ｲﾇ"}},
        {PANEL, {instruction, "いぬ", "い", "ぬ"}, {instruction, "ねこ", "ね", "こ"}, {instruction, "いぬ", "ぬ", "い", "x"}},
        {SLOT, {instruction, "いぬ", "い", "ぬ"}, {instruction, "ねこ", "ね", "こ"}, {instruction, "いぬ", "いか", "ぬ"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(reviewed({{c.kind, c.first}, {c.kind, c.otherAnswer}}), Findings{});
        // The same answer once folded, whatever the panels or reels.
        const std::vector<Line> set = {{c.kind, c.first}, {c.kind, c.otherAnswer}, {c.kind, c.sameAnswer}};
        EXPECT_EQ(reviewed(set), Findings{"1.0 question 0 same-problem"});
        EXPECT_EQ(reviewContent(setOf(set)).front().group, (std::vector<ProblemPlace>{{1, 0}, {3, 0}}));
    }
    // Where the answer is one of the choices, the question names the problem.
    EXPECT_EQ(reviewed({{YONTAKU, {instruction, "a", "b", "c", "d"}}, {YONTAKU, {instruction, "b", "a", "c", "d"}}}),
              Findings{"1.0 question 0 same-problem-other-answer"});
    EXPECT_EQ(reviewed({{OX, {instruction, "○"}}, {OX, {instruction, "×"}}}),
              Findings{"1.0 question 0 same-problem-other-answer"});
}

// However large, a group is one finding that names every member once, in
// set order, with their answers.
TEST(ContentReview, AGroupOfThousandsIsOneFinding)
{
    for (const ProblemKind& kind : problemKinds()) {
        for (const std::size_t size : {1000u, 10000u}) {
            SCOPED_TRACE(std::string(kind.elementName) + " " + std::to_string(size));
            std::vector<Line> set;
            for (std::size_t n = 0; n < size; ++n)
                set.push_back({kind.tag, groupMember(kind.tag, n)});
            const std::vector<ContentFinding> found = reviewContent(setOf(set));
            ASSERT_EQ(found.size(), 1u);
            ASSERT_EQ(found[0].group.size(), size);
            ASSERT_EQ(found[0].answers.size(), size);
            EXPECT_EQ(found[0].group.back(), (ProblemPlace{size, 0}));
            EXPECT_EQ(found[0].answers.back(), groupMember(kind.tag, size - 1)[*kind.positionOf(Field::Answer, 0)]);
        }
    }
}

// A group's sentence names its first ten problems and counts the rest, so
// that it stays short however large the group; its other problems point to
// the first.
TEST(ContentReview, AGroupsSentenceNamesTenAndCountsTheRest)
{
    const auto groupOf = [](std::size_t size, bool otherAnswers) {
        ContentFinding finding;
        finding.place = {1, 0};
        finding.kind = findKind(YONTAKU);
        finding.rule = otherAnswers ? Rule::SameProblemOtherAnswer : Rule::SameProblem;
        finding.text = "Q";
        for (std::size_t i = 1; i <= size; ++i) {
            finding.group.push_back({i, i % 2});
            finding.answers.push_back(otherAnswers ? std::to_string(i) : "a");
        }
        return finding;
    };
    const std::string ten = "問題 1 の分岐 1、問題 2、問題 3 の分岐 1、問題 4、問題 5 の分岐 1、問題 6、問題 7 の分岐 1、"
                            "問題 8、問題 9 の分岐 1、問題 10";
    const struct {
        std::size_t size;
        bool otherAnswers;
        std::string sentence;
    } cases[] = {
        {2, false, "問題「Q」が同じ問題があります: 問題 1 の分岐 1、問題 2"},
        {10, false, "問題「Q」が同じ問題があります: " + ten},
        {11, false, "問題「Q」が同じ問題があります: " + ten + " ほか 1 問"},
        {10000, false, "問題「Q」が同じ問題があります: " + ten + " ほか 9990 問"},
        {3, true, "問題「Q」が同じで答えの違う問題があります: 問題 1 の分岐 1「1」、問題 2「2」、問題 3 の分岐 1「3」"},
        {1000, true, "問題「Q」が同じで答えの違う問題があります: 問題 1 の分岐 1「1」、問題 2「2」、問題 3 の分岐 1「3」、"
                     "問題 4「4」、問題 5 の分岐 1「5」、問題 6「6」、問題 7 の分岐 1「7」、問題 8「8」、"
                     "問題 9 の分岐 1「9」、問題 10「10」 ほか 990 問"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const ContentFinding finding = groupOf(c.size, c.otherAnswers);
        EXPECT_EQ(findingSentence(finding), c.sentence);
        EXPECT_EQ(joinedSentence(sentenceParts(finding)), c.sentence);
        const std::vector<SentencePart> parts = sentenceParts(finding);
        EXPECT_EQ(std::count_if(parts.begin(), parts.end(), [](const SentencePart& p) { return p.problem.has_value(); }),
                  static_cast<std::ptrdiff_t>(std::min<std::size_t>(c.size, kGroupNamed)));
    }
    EXPECT_EQ(joinedSentence(memberSentenceParts(groupOf(1000, true))),
              "問題「Q」が同じで答えの違う問題があります: 問題 1 の注を見てください");
    // A finding of one problem is one part, its sentence.
    ContentFinding blank;
    blank.field = {Field::Dummy, 2};
    EXPECT_EQ(joinedSentence(sentenceParts(blank)), "選択肢 2 が空欄です");
}

} // namespace
