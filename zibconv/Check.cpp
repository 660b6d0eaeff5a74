// check: reads a quiz file as the editor's Open does and tells everything
// of it that the editor would not keep, with the problem it belongs to.
#include "zibconv/Commands.h"

#include "document/FieldPlacement.h"
#include "document/QuizFormat.h"
#include "document/ProblemListFile.h"
#include "model/ProblemKinds.h"
#include "review/FindingText.h"
#include "xml/XMLFile.h"
#include "zibconv/CheckReport.h"

#include <algorithm>
#include <vector>

namespace {

// A node as the report names it: an element by its tag, anything else by
// what it is and what it holds.
std::string describe(const XMLNodes& node)
{
    const std::string& name = node.nameView();
    if (name == "#text")
        return "テキスト" + quotedText(node.textView());
    if (name == "#cdata-section")
        return "CDATA" + quotedText(node.textView());
    if (name == "#comment")
        return "コメント" + quotedText(node.textView());
    if (node.childrenView().empty() && !node.textView().empty())
        return "処理命令 <?" + name + "?>";
    return "<" + name + ">";
}

bool isElement(const XMLNodes& node)
{
    return !node.nameView().starts_with('#') && node.textView().empty();
}

class Checker {
public:
    // Findings lose something; notes tell of changes that lose nothing.
    std::vector<CheckLoss> findings;
    std::vector<std::string> notes;

    void checkDocument(const XMLNodes& root)
    {
        const XMLNodesList& children = root.childrenView();
        for (std::size_t i = 0; i < children.size(); ++i)
            checkKindElement(*children[i], i + 1);
    }

private:
    void checkKindElement(const XMLNodes& element, std::size_t position)
    {
        const std::string where = "ルート要素の " + std::to_string(position) + " 番目の子 " + describe(element);
        const ProblemKind* kind = kindOfElement(element.nameView());
        current = {};
        if (!kind) {
            lose(where + " は問題の種類ではないため読み込まれません");
            return;
        }
        const XMLNodesList& children = element.childrenView();
        std::size_t lastMain = children.size();
        std::size_t subs = 0;
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (children[i]->nameView() == kMainElementName)
                lastMain = i;
            else if (children[i]->nameView() == kSubElementName)
                ++subs;
        }
        if (lastMain == children.size()) {
            lose(where + " には main がないため、この問題" +
                 (subs ? "と sub " + std::to_string(subs) + " 個" : std::string()) + "は読み込まれません");
            return;
        }
        const std::size_t number = ++problemCount;
        current = {number, 0, kind, {}};
        const std::string problem = "問題 " + std::to_string(number) + " (" + kind->comboText + ")";
        std::size_t branch = 0;
        for (std::size_t i = 0; i < children.size(); ++i) {
            const XMLNodes& child = *children[i];
            current.branch = 0;
            if (i == lastMain) {
                checkFields(child, *kind, problem);
            } else if (child.nameView() == kMainElementName) {
                lose(problem + ": 後の main に置き換えられる " + std::to_string(i + 1) +
                     " 番目の子 <main> は読み込まれません");
            } else if (child.nameView() == kSubElementName) {
                current.branch = ++branch;
                checkFields(child, *kind, problem + " の分岐 " + std::to_string(branch));
            } else {
                lose(problem + ": main でも sub でもない " + describe(child) + " は読み込まれません");
            }
        }
    }

    void checkFields(const XMLNodes& group, const ProblemKind& kind, const std::string& where)
    {
        TextList texts(kind.fieldCount(), kBlankText);
        std::vector<Field> blankSeen; // lists with a blank element so far
        bool blankMoves = false;
        for (const XMLNodesPtr& field : group.childrenView()) {
            std::string replaced;
            const std::string text = fieldText(*field);
            switch (placeField(texts, kind, *field, &replaced)) {
            case Placement::NotAField:
                lose(where + ": " + kind.comboText + "の欄ではない " + describe(*field) +
                     " は読み込まれません");
                continue;
            case Placement::ListFull:
                if (text != kBlankText)
                    lose(where + ": 数を超える " + describe(*field) + quotedText(text) +
                         " は読み込まれません");
                continue;
            case Placement::Replaced:
                lose(where + ": " + describe(*field) + quotedText(replaced) + " は後の " +
                     describe(*field) + " に置き換えられます");
                break;
            case Placement::Placed: {
                const FieldInfo& placed = *kind.fieldOfElement(field->nameView());
                const bool seen = std::find(blankSeen.begin(), blankSeen.end(), placed.field) != blankSeen.end();
                if (text == kBlankText && placed.isList)
                    blankSeen.push_back(placed.field);
                else if (seen)
                    blankMoves = true;
                break;
            }
            }
            checkFieldContent(*field, where);
        }
        if (blankMoves)
            notes.push_back(where + ": 空の欄は読み込むと後ろの欄に詰められます");
    }

    // Only the first child's text is a field's text.
    void checkFieldContent(const XMLNodes& field, const std::string& where)
    {
        const XMLNodesList& children = field.childrenView();
        for (std::size_t i = 0; i < children.size(); ++i) {
            const XMLNodes& child = *children[i];
            if (i > 0)
                lose(where + ": " + describe(field) + " の " + std::to_string(i + 1) + " 番目の子 " +
                     describe(child) + " は読み込まれません");
            else if (isElement(child) && !child.childrenView().empty())
                lose(where + ": " + describe(field) + " の中の " + describe(child) +
                     " の中身は読み込まれません");
        }
    }

    void lose(std::string text)
    {
        CheckLoss loss = current;
        loss.text = std::move(text);
        findings.push_back(std::move(loss));
    }

    std::size_t problemCount = 0;
    // The problem being walked, for the losses found in it.
    CheckLoss current;
};

} // namespace

CheckedSet lossesOfQuizFile(const XMLNodes& root)
{
    Checker checker;
    checker.checkDocument(root);
    return {{}, std::move(checker.findings), std::move(checker.notes)};
}

int runCheck(const Invocation& invocation)
{
    if (isTableName(invocation.input))
        return runTableCheck(invocation);
    const XMLNodesPtr root = loadXMLFile(invocation.input);
    if (!root)
        return reportUnreadableQuizFile(invocation.input);
    CheckedSet set = lossesOfQuizFile(*root);
    // The content review takes the problems as the editor's Open reads them.
    set.problems = problemsOfDocument(*root);
    return reportCheck(invocation, set);
}
