#include "model/ProblemFields.h"

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

// Texts [first, first + count) of the flat list.
TextList slice(const TextList& fields, std::size_t first, std::size_t count)
{
    return TextList(fields.begin() + first, fields.begin() + first + count);
}

// The first `count` entries of a list that holds at least that many.
TextList head(const TextList& list, std::size_t count)
{
    return TextList(list.begin(), list.begin() + count);
}

void append(TextList& to, const TextList& from)
{
    to.insert(to.end(), from.begin(), from.end());
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
    case OX: return std::make_shared<ProblemOX>(kind, fields[0], fields[1]);
    case NARABEKAE: return std::make_shared<ProblemNarabekae>(kind, fields[0], fields[1]);
    case YONTAKU:
        return std::make_shared<ProblemYontaku>(kind, fields[0], fields[1], slice(fields, 2, kMinDummies));
    case PANEL:
        return std::make_shared<ProblemPanel>(kind, fields[0], fields[1], slice(fields, 2, kMinPanels));
    case SLOT:
        return std::make_shared<ProblemSlot>(kind, fields[0], fields[1], slice(fields, 2, kMinReels));
    case RENSOU:
        return std::make_shared<ProblemRensou>(kind, slice(fields, 0, kMinHints), fields[kMinHints],
                                               slice(fields, kMinHints + 1, kMinDummies));
    default: return nullptr;
    }
}

TextList getFields(const ProblemBase& problem)
{
    TextList fields;
    switch (problem.type) {
    case OX: {
        const auto& p = static_cast<const ProblemOX&>(problem);
        fields = {p.getQuestion(), p.getAnswer()};
        break;
    }
    case NARABEKAE: {
        const auto& p = static_cast<const ProblemNarabekae&>(problem);
        fields = {p.getQuestion(), p.getAnswer()};
        break;
    }
    case YONTAKU: {
        const auto& p = static_cast<const ProblemYontaku&>(problem);
        fields = {p.getQuestion(), p.getAnswer()};
        append(fields, head(p.getDummies(), kMinDummies));
        break;
    }
    case PANEL: {
        const auto& p = static_cast<const ProblemPanel&>(problem);
        fields = {p.getQuestion(), p.getAnswer()};
        append(fields, head(p.getPanels(), kMinPanels));
        break;
    }
    case SLOT: {
        const auto& p = static_cast<const ProblemSlot&>(problem);
        fields = {p.getQuestion(), p.getAnswer()};
        append(fields, head(p.getReels(), kMinReels));
        break;
    }
    case RENSOU: {
        const auto& p = static_cast<const ProblemRensou&>(problem);
        fields = head(p.getHints(), kMinHints);
        fields.push_back(p.getAnswer());
        append(fields, head(p.getDummies(), kMinDummies));
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
    case OX: static_cast<ProblemOX&>(problem).setContents(fields[0], fields[1]); break;
    case NARABEKAE: static_cast<ProblemNarabekae&>(problem).setContents(fields[0], fields[1]); break;
    case YONTAKU:
        static_cast<ProblemYontaku&>(problem).setContents(fields[0], fields[1], slice(fields, 2, kMinDummies));
        break;
    case PANEL:
        static_cast<ProblemPanel&>(problem).setContents(fields[0], fields[1], slice(fields, 2, kMinPanels));
        break;
    case SLOT:
        static_cast<ProblemSlot&>(problem).setContents(fields[0], fields[1], slice(fields, 2, kMinReels));
        break;
    case RENSOU:
        static_cast<ProblemRensou&>(problem).setContents(slice(fields, 0, kMinHints), fields[kMinHints],
                                                         slice(fields, kMinHints + 1, kMinDummies));
        break;
    default: break;
    }
}
