#include "model/ProblemFields.h"
#include "model/ProblemKinds.h"
#include "model/ProblemLabels.h"

#include <gtest/gtest.h>

#include <typeinfo>

namespace {

// Distinct texts "k0", "k1", ... so that every position is told apart.
TextList numbered(std::size_t count)
{
    TextList texts;
    for (std::size_t i = 0; i < count; ++i)
        texts.push_back("k" + std::to_string(i));
    return texts;
}

TEST(ProblemFields, EveryKindRoundTripsItsTextsInFieldOrder)
{
    const std::size_t counts[kProblemTypeCount] = {2, 5, 8, 2, 12, 8};
    for (int kind = 0; kind < kProblemTypeCount; ++kind) {
        SCOPED_TRACE(kind);
        ASSERT_EQ(fieldCount(kind), counts[kind]);
        ProblemPtr problem = createProblem(kind, numbered(counts[kind]));
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->type, kind);
        EXPECT_EQ(getFields(*problem), numbered(counts[kind]));
    }
}

// The kind table as the file, the window and the lists know the kinds.
TEST(KindTable, EachRowHasItsTagClassAndNames)
{
    struct Expected {
        const std::type_info& type;
        const char* element;
        const char* combo;
    };
    const Expected expected[] = {
        {typeid(ProblemOX), "ox", "ox"},
        {typeid(ProblemYontaku), "yontaku", "四択"},
        {typeid(ProblemRensou), "rensou", "連想"},
        {typeid(ProblemNarabekae), "narabekae", "並べ替え"},
        {typeid(ProblemPanel), "panel", "文字パネル"},
        {typeid(ProblemSlot), "slot", "スロット"},
    };
    ASSERT_EQ(problemKinds().size(), std::size(expected));
    for (int tag = 0; tag < kProblemTypeCount; ++tag) {
        SCOPED_TRACE(tag);
        const ProblemKind& kind = problemKinds()[static_cast<std::size_t>(tag)];
        EXPECT_EQ(kind.tag, tag);
        EXPECT_EQ(findKind(tag), &kind);
        EXPECT_STREQ(kind.elementName, expected[tag].element);
        EXPECT_STREQ(kind.comboText, expected[tag].combo);
        EXPECT_EQ(kindOfElement(expected[tag].element), &kind);
        EXPECT_EQ(kindOfComboText(expected[tag].combo), &kind);
        const ProblemPtr problem = kind.create({});
        EXPECT_EQ(typeid(*problem), expected[tag].type);
    }
    EXPECT_EQ(findKind(-1), nullptr);
    EXPECT_EQ(findKind(kProblemTypeCount), nullptr);
    EXPECT_EQ(kindOfElement("Ox"), nullptr);
    EXPECT_EQ(kindOfComboText("yontaku"), nullptr);
}

TEST(KindTable, FieldsInFieldOrderWithTheirElementsAndCounts)
{
    const auto elementsOf = [](int tag) {
        std::string out;
        for (const TextPlace& place : findKind(tag)->textPlaces)
            out += std::string(out.empty() ? "" : " ") + fieldInfo(place.field).elementName;
        return out;
    };
    EXPECT_EQ(elementsOf(OX), "question answer");
    EXPECT_EQ(elementsOf(YONTAKU), "question answer dummy dummy dummy");
    EXPECT_EQ(elementsOf(RENSOU), "hint hint hint hint answer dummy dummy dummy");
    EXPECT_EQ(elementsOf(NARABEKAE), "question answer");
    EXPECT_EQ(elementsOf(PANEL), "question answer panel panel panel panel panel panel panel panel panel panel");
    EXPECT_EQ(elementsOf(SLOT), "question answer reel reel reel reel reel reel");
    for (const FieldInfo& field : allFields())
        EXPECT_EQ(field.isList, field.field != Field::Question && field.field != Field::Answer) << field.elementName;
    EXPECT_EQ(kBlankText, " ");
}

// Every text's place, as the file, the review, the page and a branch's
// layout find it: the field of its group and how many of the field's texts
// stand before it; positionOf finds it back, and nothing beyond the count.
TEST(KindTable, EachTextsPlaceAgreesWithTheFields)
{
    for (const ProblemKind& kind : problemKinds()) {
        SCOPED_TRACE(kind.elementName);
        std::size_t position = 0;
        std::vector<std::size_t> seen(allFields().size());
        for (const FieldGroup& group : kind.fields) {
            for (std::size_t i = 0; i < group.count; ++i, ++position) {
                SCOPED_TRACE(position);
                std::size_t& occurrence = seen[static_cast<std::size_t>(group.field)];
                ASSERT_LT(position, kind.fieldCount());
                EXPECT_EQ(kind.placeOf(position), (TextPlace{group.field, occurrence}));
                EXPECT_EQ(kind.positionOf(group.field, occurrence), position);
                ++occurrence;
            }
        }
        EXPECT_EQ(position, kind.fieldCount());
        for (const FieldInfo& field : allFields()) {
            const std::size_t count = seen[static_cast<std::size_t>(field.field)];
            EXPECT_EQ(kind.countOf(field.field), count) << field.elementName;
            EXPECT_EQ(kind.positionOf(field.field, count), std::nullopt) << field.elementName;
            std::vector<std::size_t> positions;
            for (std::size_t occurrence = 0; occurrence < count; ++occurrence)
                positions.push_back(*kind.positionOf(field.field, occurrence));
            EXPECT_EQ(kind.positionsOf(field.field), positions) << field.elementName;
        }
    }
    const ProblemKind& rensou = *findKind(RENSOU);
    EXPECT_EQ(rensou.placeOf(3), (TextPlace{Field::Hint, 3}));
    EXPECT_EQ(rensou.placeOf(4), (TextPlace{Field::Answer, 0}));
    EXPECT_EQ(rensou.placeOf(5), (TextPlace{Field::Dummy, 0}));
    EXPECT_EQ(rensou.positionOf(Field::Dummy, 2), 7u);
    EXPECT_EQ(rensou.positionOf(Field::Question, 0), std::nullopt);
}

TEST(ProblemFields, FieldsLandInTheMembersOfTheirKind)
{
    auto rensou = std::static_pointer_cast<ProblemRensou>(createProblem(RENSOU, numbered(8)));
    EXPECT_EQ(rensou->getHints(), (TextList{"k0", "k1", "k2", "k3"}));
    EXPECT_EQ(rensou->getAnswer(), "k4");
    EXPECT_EQ(rensou->getDummies(), (TextList{"k5", "k6", "k7"}));

    auto slot = std::static_pointer_cast<ProblemSlot>(createProblem(SLOT, numbered(8)));
    EXPECT_EQ(slot->getQuestion(), "k0");
    EXPECT_EQ(slot->getAnswer(), "k1");
    EXPECT_EQ(slot->getReels(), (TextList{"k2", "k3", "k4", "k5", "k6", "k7"}));
}

TEST(ProblemFields, ListEntriesBeyondTheCountAreLeftOut)
{
    ProblemYontaku problem(YONTAKU, "q", "a", {"1", "2", "3", "4", "5"});
    EXPECT_EQ(getFields(problem), (TextList{"q", "a", "1", "2", "3"}));
}

TEST(ProblemFields, SetFieldsKeepsBranchesAndTag)
{
    ProblemPtr problem = createProblem(PANEL, {});
    ProblemPtr branch = createProblem(PANEL, {});
    problem->addBranch(branch);
    setFields(*problem, numbered(12));
    EXPECT_EQ(getFields(*problem), numbered(12));
    EXPECT_EQ(problem->type, PANEL);
    EXPECT_EQ(problem->getBranches(), ProblemRefs{branch});
}

TEST(ProblemFields, UnknownKindsMakeNoProblem)
{
    EXPECT_EQ(createProblem(-1, {}), nullptr);
    EXPECT_EQ(createProblem(6, {}), nullptr);
    EXPECT_EQ(fieldCount(6), 0u);
}

TEST(ProblemLabels, KindLabelsAreShiftJisBytesWithoutTrailingSpace)
{
    EXPECT_EQ(kindLabel(OX), "\x81\x79ox\x81\x7a");
    EXPECT_EQ(kindLabel(YONTAKU), "\x81\x79\x8e\x6c\x91\xf0\x81\x7a");
    EXPECT_EQ(kindLabel(PANEL).size(), 8u);
    EXPECT_EQ(kindLabel(SLOT), "【スロ】");
    EXPECT_EQ(kindLabel(6), "");
}

TEST(ProblemLabels, AnAssociationProblemIsNamedByItsFirstHint)
{
    EXPECT_EQ(namingText(*createProblem(RENSOU, numbered(8))), "k0");
    EXPECT_EQ(namingText(*createProblem(SLOT, numbered(8))), "k0");
    EXPECT_EQ(namingText(ProblemRensou(RENSOU, {}, "a", {})), "");
}

} // namespace
