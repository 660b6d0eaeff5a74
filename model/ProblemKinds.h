// What the program knows about each problem kind, one row per kind in tag
// order: its tag and class, its element in the quiz file, its text in the
// type combobox, its label in lists, the field that names it, and its
// fields in field order. Everything that differs by kind reads from here.
#pragma once

#include "model/Problem.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// An unset text: one space, in problems and in the file alike. The editor
// and the loader store it in place of an empty text.
inline const std::string kBlankText = " ";

// The fields a problem can have, each one text or a list of texts.
enum class Field { Question, Answer, Dummy, Hint, Panel, Reel };

struct FieldInfo {
    Field field;
    // The quiz file's element for one text of the field.
    const char* elementName;
    // A list's elements fill its first blank entry; a single text's element
    // overwrites it, so that the last one counts.
    bool isList;
    // The field's name on screen: the editor's label beside it, and in the
    // review's wording and the page the word before a list entry's number
    // ("選択肢 2").
    const char* label;
};

// Every field, in the order of the enumeration.
std::span<const FieldInfo> allFields();
const FieldInfo& fieldInfo(Field field);

// One part of a kind's field list: a single text (count 1) or the first
// `count` texts of a list.
struct FieldGroup {
    Field field;
    std::size_t count;
};

// Where one text stands among a kind's fields: its field, and which of the
// field's texts it is (0 for the first, and for a single text).
struct TextPlace {
    Field field;
    std::size_t occurrence;
    friend bool operator==(const TextPlace&, const TextPlace&) = default;
};

struct ProblemKind {
    ProblemType tag;
    const char* elementName; // the kind element of the quiz file
    const char* comboText;   // the item of the type combobox
    const char* listLabel;   // before the naming text in labels and lists
    // The first text of this field names the problem in labels and lists.
    Field namingField;
    // In field order: the order of the editor's fields and of the file's
    // field elements, and the order in which the class takes its contents.
    std::vector<FieldGroup> fields;

    // The place of each text of the field list, in field order: found once
    // from `fields`, and read through placeOf and positionOf.
    std::vector<TextPlace> textPlaces;

    std::size_t fieldCount() const { return textPlaces.size(); }

    // The place of the text at `position` in the field list (below
    // fieldCount()).
    TextPlace placeOf(std::size_t position) const { return textPlaces[position]; }

    // Where the `occurrence`-th text of the field (0 for its first) stands
    // in the field list; nothing when the kind has no such text.
    std::optional<std::size_t> positionOf(TextPlace place) const;
    std::optional<std::size_t> positionOf(Field field, std::size_t occurrence) const
    {
        return positionOf(TextPlace{field, occurrence});
    }

    // How many texts the kind has of the field: 0 for a field it lacks.
    std::size_t countOf(Field field) const;
    // Where each text of the field stands in the field list, in order.
    std::vector<std::size_t> positionsOf(Field field) const;

    // The kind's field whose element has this name; null for none.
    const FieldInfo* fieldOfElement(std::string_view name) const;

    // The class of the kind, reached through the tag: a new problem of it,
    // tagged with the kind's tag, from texts in field order (missing texts
    // empty); a problem's texts (list entries beyond the count left out);
    // and setContents with texts in field order.
    ProblemPtr create(TextList texts) const { return createAs(*this, std::move(texts)); }
    TextList textsOf(const ProblemBase& problem) const { return textsAs(*this, problem); }
    void setTexts(ProblemBase& problem, TextList texts) const { setTextsAs(*this, problem, std::move(texts)); }

    ProblemPtr (*createAs)(const ProblemKind&, TextList texts);
    TextList (*textsAs)(const ProblemKind&, const ProblemBase& problem);
    void (*setTextsAs)(const ProblemKind&, ProblemBase& problem, TextList texts);
};

// The kinds in tag order: kind i has tag i, which is also its position in
// the type combobox.
std::span<const ProblemKind> problemKinds();

// Null for a tag of no kind.
const ProblemKind* findKind(int tag);
bool isKnownKind(int tag);

// Null for names of no kind; exact, case-sensitive comparison.
const ProblemKind* kindOfElement(std::string_view elementName);
const ProblemKind* kindOfComboText(std::string_view comboText);
