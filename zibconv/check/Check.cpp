// check: reads a quiz file as the editor's Open does and tells everything
// of it that the editor would not keep, with the problem it belongs to.
#include "zibconv/check/CheckedSet.h"

#include "document/QuizWalk.h"
#include "model/ProblemKinds.h"
#include "review/FindingText.h"

#include <vector>

namespace {

// A node as the report names it: an element by its tag, anything else by
// what it is and what it holds.
std::string describe(const XMLNodes& node)
{
    const std::string& name = node.nameView();
    if (name == kTextNodeName)
        return "テキスト" + quotedText(node.textView());
    if (name == kCdataNodeName)
        return "CDATA" + quotedText(node.textView());
    if (name == kCommentNodeName)
        return "コメント" + quotedText(node.textView());
    if (isProcessingInstruction(node))
        return "処理命令 <?" + name + "?>";
    return "<" + name + ">";
}

std::string problemName(const QuizPlace& place)
{
    return problemName(ProblemPlace{place.problem, place.branch}, place.kind);
}

// What the editor would lose, in the words of the report.
std::string lossText(const QuizLoss& loss)
{
    const std::string element = "ルート要素の " + std::to_string(loss.place.position) + " 番目の子 " + describe(*loss.node);
    const std::string where = loss.place.kind ? problemName(loss.place) + ": " : std::string();
    switch (loss.reason) {
    case LossReason::NotAKind: return element + " は問題の種類ではないため読み込まれません";
    case LossReason::NoMain:
        return element + " には main がないため、この問題" +
               (loss.subs ? "と sub " + std::to_string(loss.subs) + " 個" : std::string()) + "は読み込まれません";
    case LossReason::EarlierMain:
        return where + "後の main に置き換えられる " + std::to_string(loss.index) + " 番目の子 <main> は読み込まれません";
    case LossReason::NotMainOrSub: return where + "main でも sub でもない " + describe(*loss.node) + " は読み込まれません";
    case LossReason::NotAField:
        return where + loss.place.kind->comboText + "の欄ではない " + describe(*loss.node) + " は読み込まれません";
    case LossReason::ListFull: return where + "数を超える " + describe(*loss.node) + quotedText(loss.text) + " は読み込まれません";
    case LossReason::ReplacedField:
        return where + describe(*loss.node) + quotedText(loss.text) + " は後の " + describe(*loss.node) + " に置き換えられます";
    case LossReason::ExtraChild:
        return where + describe(*loss.field) + " の " + std::to_string(loss.index) + " 番目の子 " + describe(*loss.node) +
               " は読み込まれません";
    case LossReason::NestedContent:
        return where + describe(*loss.field) + " の中の " + describe(*loss.node) + " の中身は読み込まれません";
    }
    return {};
}

// The set as the walk goes: each problem counted and reviewed, then let
// go; each loss and note in the report's words.
class Checker : public QuizWalkReceiver {
public:
    explicit Checker(bool withReview) : reviewing(withReview) {}

    CheckedSet set;
    ContentReview review;
    const bool reviewing;

    void problem(ProblemPtr problem) override
    {
        set.counts.add(*problem);
        if (reviewing)
            review.add(*problem);
    }

    void loss(const QuizLoss& loss) override
    {
        // A kind element that gives no problem belongs to none.
        const ProblemKind* kind = loss.place.problem ? loss.place.kind : nullptr;
        set.losses.push_back({loss.place.problem, loss.place.branch, kind, lossText(loss)});
    }

    void blankClosesUp(const QuizPlace& place) override
    {
        set.notes.push_back(problemName(place) + ": 空の欄は読み込むと後ろの欄に詰められます");
    }
};

} // namespace

std::optional<CheckedSet> checkQuizFile(const std::string& path, bool withReview)
{
    Checker checker(withReview);
    if (!walkQuizFile(path, checker))
        return std::nullopt;
    checker.set.findings = checker.review.finish();
    return std::move(checker.set);
}
