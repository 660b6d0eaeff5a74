#include "model/Problem.h"

#include <utility>

namespace {

// Lists are padded, never cut: entries beyond the minimum are kept.
TextList padded(TextList list, std::size_t minimum)
{
    if (list.size() < minimum)
        list.resize(minimum);
    return list;
}

} // namespace

void ProblemBase::addBranch(ProblemPtr branch)
{
    branches.push_back(std::move(branch));
}

ProblemRefs ProblemBase::getBranches() const
{
    return branches;
}

ProblemQuestionAnswer::ProblemQuestionAnswer(int kindTag, std::string givenQuestion, std::string givenAnswer)
    : ProblemBase(kindTag)
{
    setContents(std::move(givenQuestion), std::move(givenAnswer));
}

void ProblemQuestionAnswer::setContents(std::string newQuestion, std::string newAnswer)
{
    question = std::move(newQuestion);
    answer = std::move(newAnswer);
}

ProblemYontaku::ProblemYontaku(int kindTag, std::string givenQuestion, std::string givenAnswer, TextList givenDummies)
    : ProblemBase(kindTag)
{
    setContents(std::move(givenQuestion), std::move(givenAnswer), std::move(givenDummies));
}

void ProblemYontaku::setContents(std::string newQuestion, std::string newAnswer, TextList newDummies)
{
    question = std::move(newQuestion);
    answer = std::move(newAnswer);
    dummies = padded(std::move(newDummies), kMinDummies);
}

ProblemPanel::ProblemPanel(int kindTag, std::string givenQuestion, std::string givenAnswer, TextList givenPanels)
    : ProblemBase(kindTag)
{
    setContents(std::move(givenQuestion), std::move(givenAnswer), std::move(givenPanels));
}

void ProblemPanel::setContents(std::string newQuestion, std::string newAnswer, TextList newPanels)
{
    question = std::move(newQuestion);
    answer = std::move(newAnswer);
    panels = padded(std::move(newPanels), kMinPanels);
}

ProblemSlot::ProblemSlot(int kindTag, std::string givenQuestion, std::string givenAnswer, TextList givenReels)
    : ProblemBase(kindTag)
{
    setContents(std::move(givenQuestion), std::move(givenAnswer), std::move(givenReels));
}

void ProblemSlot::setContents(std::string newQuestion, std::string newAnswer, TextList newReels)
{
    question = std::move(newQuestion);
    answer = std::move(newAnswer);
    reels = padded(std::move(newReels), kMinReels);
}

ProblemRensou::ProblemRensou(int kindTag, TextList givenHints, std::string givenAnswer, TextList givenDummies)
    : ProblemBase(kindTag)
{
    setContents(std::move(givenHints), std::move(givenAnswer), std::move(givenDummies));
}

void ProblemRensou::setContents(TextList newHints, std::string newAnswer, TextList newDummies)
{
    hints = padded(std::move(newHints), kMinHints);
    answer = std::move(newAnswer);
    dummies = padded(std::move(newDummies), kMinDummies);
}
