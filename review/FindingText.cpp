#include "review/FindingText.h"

#include "review/TextFolding.h"
#include "text/ShiftJis.h"

#include <algorithm>

namespace {

// Long texts are named by their start.
constexpr std::size_t kShownTextBytes = 40;

// A label before a particle: "答えが", "選択肢 2 が".
std::string labelBefore(FieldPlace field, const char* particle)
{
    return fieldLabel(field) + (field.index ? " " : "") + particle;
}

std::string quotedField(const ContentFinding& finding)
{
    return fieldLabel(finding.field) + quotedText(finding.text);
}

// The words before the group: "問題「首都は？」が同じ問題があります: ".
std::string groupStart(const ContentFinding& finding)
{
    return quotedField(finding) + (finding.rule == Rule::SameProblemOtherAnswer ? "が同じで答えの違う問題があります: "
                                                                                : "が同じ問題があります: ");
}

// "問題 3「東京」、問題 17 の分岐 2「大阪」", answers only when they differ;
// after the first kGroupNamed problems, only how many more.
void appendGroup(std::vector<SentencePart>& parts, const ContentFinding& finding, bool withAnswers)
{
    const std::size_t named = std::min(finding.group.size(), kGroupNamed);
    for (std::size_t i = 0; i < named; ++i) {
        if (i)
            parts.push_back({"、", std::nullopt});
        parts.push_back({"", finding.group[i]});
        if (withAnswers)
            parts.push_back({quotedText(finding.answers[i]), std::nullopt});
    }
    if (named < finding.group.size())
        parts.push_back({" ほか " + std::to_string(finding.group.size() - named) + " 問", std::nullopt});
}

} // namespace

const char* const kFoldingExplained = "全角と半角の英字・数字・記号・カタカナ (ｶﾞ は ガ)、前後の空白と改行";

std::string quotedText(const std::string& text)
{
    std::string shown = text.substr(0, lengthOfWholeCharacters(std::string_view(text).substr(0, kShownTextBytes)));
    for (char& c : shown)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return "「" + shown + (shown.size() < text.size() ? "…」" : "」");
}

std::string problemName(ProblemPlace place, const ProblemKind* kind)
{
    std::string name = "問題 " + std::to_string(place.problem);
    if (kind)
        name += std::string(" (") + kind->comboText + ")";
    if (place.branch)
        name += " の分岐 " + std::to_string(place.branch);
    return name;
}

std::string fieldLabel(FieldPlace field)
{
    return fieldInfo(field.field).label + (field.index ? " " + std::to_string(field.index) : std::string());
}

std::string findingSentence(const ContentFinding& finding)
{
    switch (finding.rule) {
    case Rule::Blank:
        if (finding.field.index == 0 && fieldInfo(finding.field.field).isList)
            return labelBefore(finding.field, "がすべて空欄です");
        return labelBefore(finding.field, "が空欄です");
    case Rule::SameChoice:
        return quotedField(finding) + "が" + labelBefore(finding.other, "と同じです");
    case Rule::SameProblem:
    case Rule::SameProblemOtherAnswer:
        return joinedSentence(sentenceParts(finding));
    case Rule::SurroundingSpace:
        return quotedField(finding) + "の始めか終わりに空白か改行があります";
    case Rule::PanelsCannotSpell:
        return quotedField(finding) + "はパネルを 1 枚 1 回ずつ使って作れません";
    case Rule::ReelCount:
        return quotedField(finding) + "は " + std::to_string(charactersOf(foldedText(finding.text)).size()) +
               " 文字で、空欄でないリール " + std::to_string(finding.reelCount) + " 本と数が違います";
    case Rule::ReelLacksCharacter:
        return quotedField(finding) + "に答えの " + std::to_string(finding.position) + " 文字目「" +
               finding.character + "」がありません";
    }
    return {};
}

std::vector<SentencePart> sentenceParts(const ContentFinding& finding)
{
    if (finding.rule != Rule::SameProblem && finding.rule != Rule::SameProblemOtherAnswer)
        return {{findingSentence(finding), std::nullopt}};
    std::vector<SentencePart> parts{{groupStart(finding), std::nullopt}};
    appendGroup(parts, finding, finding.rule == Rule::SameProblemOtherAnswer);
    return parts;
}

std::vector<SentencePart> memberSentenceParts(const ContentFinding& group)
{
    return {{groupStart(group), std::nullopt}, {"", group.place}, {" の注を見てください", std::nullopt}};
}

std::string joinedSentence(const std::vector<SentencePart>& parts)
{
    std::string sentence;
    for (const SentencePart& part : parts)
        sentence += part.problem ? problemName(*part.problem, nullptr) : part.words;
    return sentence;
}

const char* ruleName(Rule rule)
{
    switch (rule) {
    case Rule::Blank: return "blank";
    case Rule::SameChoice: return "same-choice";
    case Rule::SameProblem: return "same-problem";
    case Rule::SameProblemOtherAnswer: return "same-problem-other-answer";
    case Rule::SurroundingSpace: return "surrounding-space";
    case Rule::PanelsCannotSpell: return "panels-cannot-spell";
    case Rule::ReelCount: return "reel-count";
    case Rule::ReelLacksCharacter: return "reel-lacks-character";
    }
    return "";
}

std::string summaryText(const SetCounts& counts)
{
    std::string perKind;
    for (const ProblemKind& kind : problemKinds())
        perKind += (perKind.empty() ? "" : "、") + std::string(kind.comboText) + " " +
                   std::to_string(counts.ofKind[static_cast<std::size_t>(kind.tag)]);
    return "問題 " + std::to_string(counts.problems) + " 問 (" + perKind + ")、分岐 " +
           std::to_string(counts.branches) + " 問";
}

std::string answerContentKindsText()
{
    std::string text;
    for (const ProblemKind& kind : problemKinds())
        if (answerIsTheContent(kind))
            text += (text.empty() ? "" : "・") + std::string(kind.comboText);
    return text;
}
