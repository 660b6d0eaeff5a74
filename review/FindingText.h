// The words of the content review, in Shift-JIS: one place for them, so
// that every program that shows a finding says the same.
#pragma once

#include "model/SetCounts.h"
#include "review/ContentReview.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A text as a report quotes it: its start in 「」, line breaks and tabs as
// spaces, "…" when it goes on.
std::string quotedText(const std::string& text);

// "問題 3 (四択)", "問題 3 (四択) の分岐 2"; without the kind, "問題 3 の分岐 2".
std::string problemName(ProblemPlace place, const ProblemKind* kind);

// "答え", "選択肢 2", "パネル" (the whole list).
std::string fieldLabel(FieldPlace field);

// What the finding is, after its problem's name: "選択肢 2「東京」が答えと同じです".
// A group of the same problems names its first kGroupNamed problems and
// counts the rest ("ほか 990 問"), so that a sentence stays short.
std::string findingSentence(const ContentFinding& finding);

constexpr std::size_t kGroupNamed = 10;

// A finding's sentence in parts, for a program that names the problems of
// a group its own way (the page by their lines, as links): words, or a
// problem of the group between them.
struct SentencePart {
    std::string words;
    std::optional<ProblemPlace> problem;
};
std::vector<SentencePart> sentenceParts(const ContentFinding& finding);

// What a group's other problems say, pointing to the first one, where the
// whole finding stands: "問題「首都は？」が 問題 1 と同じです".
std::vector<SentencePart> memberSentenceParts(const ContentFinding& group);

// The parts as words, each problem named by problemName without its kind.
std::string joinedSentence(const std::vector<SentencePart>& parts);

// The rule's name for scripts: "blank", "same-choice", ...
const char* ruleName(Rule rule);

// What the review folds before it compares, for the programs' help.
extern const char* const kFoldingExplained;

// "問題 3 問 (ox 1、四択 2、…)、分岐 4 問"
std::string summaryText(const SetCounts& counts);

// The kinds whose answer is their content, by the editor's names:
// "<rearrangement>・<panel>・<slot>" (each kind's combobox text).
std::string answerContentKindsText();
