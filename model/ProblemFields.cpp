#include "model/ProblemFields.h"

#include <iterator>
#include <utility>

namespace {

std::size_t listCount(int kind)
{
    switch (kind) {
    case YONTAKU: return kMinDummies;
    case PANEL: return kMinPanels;
    case SLOT: return kMinReels;
    default: return 0;
    }
}

// The texts are moved out of the flat list that the caller handed over.
std::string take(TextList& fields, std::size_t index)
{
    return std::move(fields[index]);
}

TextList slice(TextList& fields, std::size_t first, std::size_t count)
{
    return TextList(std::make_move_iterator(fields.begin() + first),
                    std::make_move_iterator(fields.begin() + first + count));
}

// Appends the first `count` entries of a list that holds at least that many.
void appendHead(TextList& to, TextList from, std::size_t count)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.begin() + count));
}

} // namespace

std::size_t fieldCount(int kind)
{
    switch (kind) {
    case OX:
    case NARABEKAE: return 2;
    case RENSOU: return kMinHints + 1 + kMinDummies;
    case YONTAKU:
    case PANEL:
    case SLOT: return 2 + listCount(kind);
    default: return 0;
    }
}

ProblemPtr createProblem(int kind, TextList fields)
{
    fields.resize(fieldCount(kind));
    switch (kind) {
    case OX: return std::make_shared<ProblemOX>(kind, take(fields, 0), take(fields, 1));
    case NARABEKAE: return std::make_shared<ProblemNarabekae>(kind, take(fields, 0), take(fields, 1));
    case YONTAKU:
        return std::make_shared<ProblemYontaku>(kind, take(fields, 0), take(fields, 1), slice(fields, 2, kMinDummies));
    case PANEL:
        return std::make_shared<ProblemPanel>(kind, take(fields, 0), take(fields, 1), slice(fields, 2, kMinPanels));
    case SLOT:
        return std::make_shared<ProblemSlot>(kind, take(fields, 0), take(fields, 1), slice(fields, 2, kMinReels));
    case RENSOU:
        return std::make_shared<ProblemRensou>(kind, slice(fields, 0, kMinHints), take(fields, kMinHints),
                                               slice(fields, kMinHints + 1, kMinDummies));
    default: return nullptr;
    }
}

TextList getFields(const ProblemBase& problem)
{
    TextList fields;
    fields.reserve(fieldCount(problem.type));
    switch (problem.type) {
    case OX: {
        const auto& p = static_cast<const ProblemOX&>(problem);
        fields.push_back(p.getQuestion());
        fields.push_back(p.getAnswer());
        break;
    }
    case NARABEKAE: {
        const auto& p = static_cast<const ProblemNarabekae&>(problem);
        fields.push_back(p.getQuestion());
        fields.push_back(p.getAnswer());
        break;
    }
    case YONTAKU: {
        const auto& p = static_cast<const ProblemYontaku&>(problem);
        fields.push_back(p.getQuestion());
        fields.push_back(p.getAnswer());
        appendHead(fields, p.getDummies(), kMinDummies);
        break;
    }
    case PANEL: {
        const auto& p = static_cast<const ProblemPanel&>(problem);
        fields.push_back(p.getQuestion());
        fields.push_back(p.getAnswer());
        appendHead(fields, p.getPanels(), kMinPanels);
        break;
    }
    case SLOT: {
        const auto& p = static_cast<const ProblemSlot&>(problem);
        fields.push_back(p.getQuestion());
        fields.push_back(p.getAnswer());
        appendHead(fields, p.getReels(), kMinReels);
        break;
    }
    case RENSOU: {
        const auto& p = static_cast<const ProblemRensou&>(problem);
        appendHead(fields, p.getHints(), kMinHints);
        fields.push_back(p.getAnswer());
        appendHead(fields, p.getDummies(), kMinDummies);
        break;
    }
    default: break;
    }
    return fields;
}

void setFields(ProblemBase& problem, TextList fields)
{
    const int kind = problem.type;
    fields.resize(fieldCount(kind));
    switch (kind) {
    case OX: static_cast<ProblemOX&>(problem).setContents(take(fields, 0), take(fields, 1)); break;
    case NARABEKAE: static_cast<ProblemNarabekae&>(problem).setContents(take(fields, 0), take(fields, 1)); break;
    case YONTAKU:
        static_cast<ProblemYontaku&>(problem).setContents(take(fields, 0), take(fields, 1),
                                                          slice(fields, 2, kMinDummies));
        break;
    case PANEL:
        static_cast<ProblemPanel&>(problem).setContents(take(fields, 0), take(fields, 1), slice(fields, 2, kMinPanels));
        break;
    case SLOT:
        static_cast<ProblemSlot&>(problem).setContents(take(fields, 0), take(fields, 1), slice(fields, 2, kMinReels));
        break;
    case RENSOU:
        static_cast<ProblemRensou&>(problem).setContents(slice(fields, 0, kMinHints), take(fields, kMinHints),
                                                         slice(fields, kMinHints + 1, kMinDummies));
        break;
    default: break;
    }
}
