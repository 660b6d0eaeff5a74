// The one walk of a quiz file: what Open keeps of each child of the
// document element, and what it drops and why. Open takes the problems,
// zibconv's check the losses, its export the problems as rows. The walk
// goes one kind element at a time, so a reader may hand it the document's
// children one by one and let each go once it is walked.
#pragma once

#include "model/Problem.h"
#include "model/ProblemKinds.h"
#include "xml/XMLNodes.h"

#include <cstddef>
#include <string>

enum class LossReason {
    NotAKind,      // `node`: a child of the document element of no kind
    NoMain,        // `node`: a kind element without `main`, with `subs` branches
    EarlierMain,   // `node`: a `main` that a later one replaces; child `index` of its kind element
    NotMainOrSub,  // `node`: a child of a kind element that is neither
    NotAField,     // `node`: a field element of a name the kind has no field of
    ListFull,      // `node`: a list's element beyond its places; `text` is its text, never blank
    ReplacedField, // `node`: a single text's element after an earlier one; `text` is what that held
    ExtraChild,    // `node`: child `index` of field element `field`, beyond the first
    NestedContent, // `node`: an element inside field element `field` whose content is dropped
};

// Where something stands, named as lists name problems: `problem` counts
// the top-level problems from 1 (0 before the first, or for a kind element
// that gives none), `branch` its branches from 1 (0 for `main` itself).
// `position` is the kind element's place among the document element's
// children, from 1; `kind` is null for an element of no kind.
struct QuizPlace {
    std::size_t position = 0;
    std::size_t problem = 0;
    std::size_t branch = 0;
    const ProblemKind* kind = nullptr;
};

// The nodes live only while the walk's receiver looks at them.
struct QuizLoss {
    LossReason reason;
    QuizPlace place;
    const XMLNodes* node = nullptr;
    const XMLNodes* field = nullptr;
    std::size_t index = 0;
    std::size_t subs = 0;
    std::string text{};
};

// What the walk finds, in document order.
class QuizWalkReceiver {
public:
    // A top-level problem of the set with its branches, as Open keeps it.
    virtual void problem(ProblemPtr problem) = 0;
    virtual void loss(const QuizLoss& /*loss*/) {}
    // A list that had a blank entry before a filled one: the load closes the
    // gap, which loses nothing.
    virtual void blankClosesUp(const QuizPlace& /*place*/) {}

    virtual ~QuizWalkReceiver() = default;
};

class QuizWalk {
public:
    explicit QuizWalk(QuizWalkReceiver& to) : receiver(to) {}

    // One child of the document element, the next in document order.
    void walkChild(const XMLNodes& child);
    // Every child of the document element.
    void walkDocument(const XMLNodes& root);

private:
    QuizWalkReceiver& receiver;
    std::size_t position = 0;
    std::size_t problems = 0;

    ProblemPtr walkGroup(const XMLNodes& group, const QuizPlace& place);
    void walkFieldContent(const XMLNodes& field, const QuizLoss& where);
};

// Walks the quiz file at `path` child by child of its document element,
// holding one child at a time where the reader can. False when the file
// cannot be read as XML; what the receiver was given then counts for
// nothing.
bool walkQuizFile(const std::string& path, QuizWalkReceiver& receiver);

// The kind of XML node an XMLNodes stands for: an element, or what the
// DOM names "#text", "#cdata-section", "#comment", or a processing
// instruction (its target as name, its data as text).
bool isElementNode(const XMLNodes& node);
bool isProcessingInstruction(const XMLNodes& node);
