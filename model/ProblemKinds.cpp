#include "model/ProblemKinds.h"

#include <algorithm>
#include <iterator>
#include <tuple>
#include <type_traits>
#include <utility>

namespace {

// A class's contents, as values: std::tuple<std::string, std::string, TextList>.
template <class Problem>
using ContentsOf = decltype(std::declval<const Problem&>().contents());

// The part of a field list that one member takes, moved out of the list.
template <class Member>
Member takeGroup(TextList& texts, std::size_t& next, std::size_t count)
{
    if constexpr (std::is_same_v<Member, std::string>) {
        return std::move(texts[next++]);
    } else {
        const auto first = texts.begin() + static_cast<std::ptrdiff_t>(next);
        next += count;
        return Member(std::make_move_iterator(first), std::make_move_iterator(first + static_cast<std::ptrdiff_t>(count)));
    }
}

// The class's contents from exactly kind.fieldCount() texts in field order.
template <class Problem, std::size_t... Group>
ContentsOf<Problem> contentsFrom(const ProblemKind& kind, TextList& texts, std::index_sequence<Group...>)
{
    std::size_t next = 0;
    // A braced list is evaluated in order: each group takes the texts after
    // those of the group before.
    return ContentsOf<Problem>{
        takeGroup<std::tuple_element_t<Group, ContentsOf<Problem>>>(texts, next, kind.fields[Group].count)...};
}

template <class Problem>
ContentsOf<Problem> contentsFrom(const ProblemKind& kind, TextList texts)
{
    texts.resize(kind.fieldCount());
    return contentsFrom<Problem>(kind, texts, std::make_index_sequence<std::tuple_size_v<ContentsOf<Problem>>>());
}

void appendGroup(TextList& texts, std::string&& text, std::size_t)
{
    texts.push_back(std::move(text));
}

void appendGroup(TextList& texts, TextList&& list, std::size_t count)
{
    texts.insert(texts.end(), std::make_move_iterator(list.begin()),
                 std::make_move_iterator(list.begin() + static_cast<std::ptrdiff_t>(count)));
}

template <class Problem>
ProblemPtr createAs(const ProblemKind& kind, TextList texts)
{
    return std::apply([&kind](auto&&... part) -> ProblemPtr { return std::make_shared<Problem>(kind.tag, std::move(part)...); },
                      contentsFrom<Problem>(kind, std::move(texts)));
}

template <class Problem>
TextList textsAs(const ProblemKind& kind, const ProblemBase& problem)
{
    TextList texts;
    texts.reserve(kind.fieldCount());
    std::size_t group = 0;
    std::apply([&](auto&&... part) { (appendGroup(texts, std::move(part), kind.fields[group++].count), ...); },
               static_cast<const Problem&>(problem).contents());
    return texts;
}

template <class Problem>
void setTextsAs(const ProblemKind& kind, ProblemBase& problem, TextList texts)
{
    std::apply([&](auto&&... part) { static_cast<Problem&>(problem).setContents(std::move(part)...); },
               contentsFrom<Problem>(kind, std::move(texts)));
}

// One row of the kind table; the class is its template argument.
template <class Problem>
ProblemKind row(ProblemType tag, const char* elementName, const char* comboText, const char* listLabel,
                 Field namingField, std::vector<FieldGroup> fields)
{
    // A text's occurrence counts the field's texts before it, in whatever
    // group they stand.
    std::vector<TextPlace> textPlaces;
    for (const FieldGroup& group : fields) {
        std::size_t occurrence = 0;
        for (const TextPlace& earlier : textPlaces)
            occurrence += earlier.field == group.field ? 1 : 0;
        for (std::size_t i = 0; i < group.count; ++i)
            textPlaces.push_back({group.field, occurrence++});
    }
    return {tag,
            elementName,
            comboText,
            listLabel,
            namingField,
            std::move(fields),
            std::move(textPlaces),
            &createAs<Problem>,
            &textsAs<Problem>,
            &setTextsAs<Problem>};
}

using enum Field;

const FieldInfo kFields[] = {
    {Question, "question", false, "問題"}, {Answer, "answer", false, "答え"}, {Dummy, "dummy", true, "選択肢"},
    {Hint, "hint", true, "ヒント"},        {Panel, "panel", true, "パネル"},  {Reel, "reel", true, "リール"},
};

} // namespace

std::span<const FieldInfo> allFields()
{
    return kFields;
}

const FieldInfo& fieldInfo(Field field)
{
    return kFields[static_cast<std::size_t>(field)];
}

std::optional<std::size_t> ProblemKind::positionOf(TextPlace place) const
{
    const auto found = std::find(textPlaces.begin(), textPlaces.end(), place);
    if (found == textPlaces.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - textPlaces.begin());
}

std::vector<std::size_t> ProblemKind::positionsOf(Field field) const
{
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < textPlaces.size(); ++i)
        if (textPlaces[i].field == field)
            positions.push_back(i);
    return positions;
}

std::size_t ProblemKind::countOf(Field field) const
{
    std::size_t count = 0;
    for (const FieldGroup& group : fields)
        if (group.field == field)
            count += group.count;
    return count;
}

const FieldInfo* ProblemKind::fieldOfElement(std::string_view name) const
{
    for (const FieldGroup& group : fields)
        if (name == fieldInfo(group.field).elementName)
            return &fieldInfo(group.field);
    return nullptr;
}

std::span<const ProblemKind> problemKinds()
{
    // Built on first use, so that no other file's static data can read it
    // before it exists.
    static const ProblemKind kinds[] = {
        row<ProblemQuestionAnswer>(OX, "ox", "ox", "【ox】", Question, {{Question, 1}, {Answer, 1}}),
        row<ProblemYontaku>(YONTAKU, "yontaku", "四択", "【四択】", Question,
                             {{Question, 1}, {Answer, 1}, {Dummy, kMinDummies}}),
        row<ProblemRensou>(RENSOU, "rensou", "連想", "【連想】", Hint,
                            {{Hint, kMinHints}, {Answer, 1}, {Dummy, kMinDummies}}),
        row<ProblemQuestionAnswer>(NARABEKAE, "narabekae", "並べ替え", "【並替】", Question,
                                   {{Question, 1}, {Answer, 1}}),
        row<ProblemPanel>(PANEL, "panel", "文字パネル", "【パネ】", Question,
                           {{Question, 1}, {Answer, 1}, {Panel, kMinPanels}}),
        row<ProblemSlot>(SLOT, "slot", "スロット", "【スロ】", Question, {{Question, 1}, {Answer, 1}, {Reel, kMinReels}}),
    };
    return kinds;
}

const ProblemKind* findKind(int tag)
{
    const std::span<const ProblemKind> kinds = problemKinds();
    return tag >= 0 && static_cast<std::size_t>(tag) < kinds.size() ? &kinds[static_cast<std::size_t>(tag)] : nullptr;
}

bool isKnownKind(int tag)
{
    return findKind(tag) != nullptr;
}

namespace {

const ProblemKind* kindWhere(const char* ProblemKind::*name, std::string_view value)
{
    const std::span<const ProblemKind> kinds = problemKinds();
    const auto found = std::find_if(kinds.begin(), kinds.end(), [&](const ProblemKind& k) { return k.*name == value; });
    return found == kinds.end() ? nullptr : &*found;
}

} // namespace

const ProblemKind* kindOfElement(std::string_view elementName)
{
    return kindWhere(&ProblemKind::elementName, elementName);
}

const ProblemKind* kindOfComboText(std::string_view comboText)
{
    return kindWhere(&ProblemKind::comboText, comboText);
}
