// The in-memory form of one quiz problem: a kind tag, the kind's texts and
// lists, and the branch problems hung beneath it.
#pragma once

#include <memory>
#include <string>
#include <tuple>
#include <vector>

// Kind tags. The values are also the positions of the kinds in the type
// combobox, so the editor passes the combobox selection straight on.
enum ProblemType : int {
    OX = 0,
    YONTAKU = 1,
    RENSOU = 2,
    NARABEKAE = 3,
    PANEL = 4,
    SLOT = 5,
};

constexpr int kProblemTypeCount = 6;

using TextList = std::vector<std::string>;

// Every list is padded with empty strings to at least these lengths.
constexpr std::size_t kMinDummies = 3;
constexpr std::size_t kMinHints = 4;
constexpr std::size_t kMinPanels = 10;
constexpr std::size_t kMinReels = 6;

class ProblemBase;
using ProblemPtr = std::shared_ptr<ProblemBase>;
using ProblemRefs = std::vector<ProblemPtr>;

// Users dispatch on `type` and then treat the object as the class of that
// tag; the destructor is the only virtual member on purpose. Each class
// gives copies of its contents in field order, as its constructor and
// setContents take them, with contents(): the kind table (ProblemKinds.h)
// reads every class through it.
class ProblemBase {
public:
    const int type;

    virtual ~ProblemBase() = default;

    void addBranch(ProblemPtr branch);
    ProblemRefs getBranches() const;

protected:
    explicit ProblemBase(int kindTag) : type(kindTag) {}

private:
    ProblemRefs branches;
};

// The true/false and the rearrangement kinds: a question and its answer,
// nothing else. One class for both; the tag tells them apart.
class ProblemQuestionAnswer : public ProblemBase {
public:
    ProblemQuestionAnswer(int kindTag, std::string question, std::string answer);
    void setContents(std::string question, std::string answer);
    std::string getQuestion() const { return question; }
    std::string getAnswer() const { return answer; }
    auto contents() const { return std::tuple(question, answer); }

private:
    std::string question;
    std::string answer;
};

// The kinds' own names for it.
using ProblemOX = ProblemQuestionAnswer;
using ProblemNarabekae = ProblemQuestionAnswer;

class ProblemYontaku : public ProblemBase {
public:
    ProblemYontaku(int kindTag, std::string question, std::string answer, TextList dummies);
    void setContents(std::string question, std::string answer, TextList dummies);
    std::string getQuestion() const { return question; }
    std::string getAnswer() const { return answer; }
    TextList getDummies() const { return dummies; }
    auto contents() const { return std::tuple(question, answer, dummies); }

private:
    std::string question;
    std::string answer;
    TextList dummies;
};

class ProblemPanel : public ProblemBase {
public:
    ProblemPanel(int kindTag, std::string question, std::string answer, TextList panels);
    void setContents(std::string question, std::string answer, TextList panels);
    std::string getQuestion() const { return question; }
    std::string getAnswer() const { return answer; }
    TextList getPanels() const { return panels; }
    auto contents() const { return std::tuple(question, answer, panels); }

private:
    std::string question;
    std::string answer;
    TextList panels;
};

class ProblemSlot : public ProblemBase {
public:
    ProblemSlot(int kindTag, std::string question, std::string answer, TextList reels);
    void setContents(std::string question, std::string answer, TextList reels);
    std::string getQuestion() const { return question; }
    std::string getAnswer() const { return answer; }
    TextList getReels() const { return reels; }
    auto contents() const { return std::tuple(question, answer, reels); }

private:
    std::string question;
    std::string answer;
    TextList reels;
};

// The association kind has no question: its first hint names it.
class ProblemRensou : public ProblemBase {
public:
    ProblemRensou(int kindTag, TextList hints, std::string answer, TextList dummies);
    void setContents(TextList hints, std::string answer, TextList dummies);
    TextList getHints() const { return hints; }
    std::string getAnswer() const { return answer; }
    TextList getDummies() const { return dummies; }
    auto contents() const { return std::tuple(hints, answer, dummies); }

private:
    TextList hints;
    std::string answer;
    TextList dummies;
};
