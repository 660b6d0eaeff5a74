#include "zibconv/anki/AnkiDeck.h"

#include "review/FindingText.h"
#include "review/TextFolding.h"
#include "text/ShiftJisToUtf8.h"
#include "text/Unicode.h"
#include "zibconv/anki/AnkiText.h"

#include <algorithm>
#include <utility>

namespace {

// The sources are compiled to code page 932: the deck's own words are
// written as UTF-8 literals.
std::string fromU8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

// The kind table's words (Shift-JIS) as UTF-8; they are all code page 932.
std::string utf8Of(std::string_view shiftJis)
{
    std::string utf8;
    appendShiftJisAsUtf8(shiftJis, utf8);
    return utf8;
}

const std::u8string_view kShownField = u8"並び";
const std::u8string_view kLineField = u8"行";
const std::u8string_view kBranchTag = u8"分岐::";

// The association reveals its hints instead of laying anything out.
bool laysOut(const ProblemKind& kind)
{
    return kind.countOf(Field::Hint) == 0;
}

std::string fieldReference(const std::string& name, std::string_view filter = "")
{
    return "{{" + std::string(filter) + name + "}}";
}

std::string frontOf(const ProblemKind& kind, const std::vector<std::string>& names)
{
    std::string front = "<div class=\"zib-line\">" + fieldReference(fromU8(kLineField)) + "</div>\n";
    if (const std::optional<std::size_t> question = kind.positionOf(Field::Question, 0))
        front += "<div class=\"zib-question\">" + fieldReference(names[*question]) + "</div>\n";
    if (kind.countOf(Field::Hint) > 0) {
        front += "<ol class=\"zib-hints\">\n";
        for (std::size_t i = 0; i < kind.countOf(Field::Hint); ++i) {
            const std::string& name = names[*kind.positionOf(Field::Hint, i)];
            // Anki's hint filter writes nothing for an empty field: a blank
            // hint keeps its number, as the game counts it.
            front += "<li>" + fieldReference(name, i == 0 ? "" : "hint:") + "</li>\n";
        }
        front += "</ol>\n";
    }
    if (laysOut(kind))
        front += fieldReference(fromU8(kShownField)) + "\n";
    return front;
}

AnkiNoteType noteTypeOf(const ProblemKind& kind)
{
    AnkiNoteType type;
    type.kind = &kind;
    type.name = "ZIB " + utf8Of(kind.comboText);
    // Ids as Anki makes them (milliseconds), the same for a kind in every export.
    type.id = static_cast<std::int64_t>(hashOf(std::string("zib note type ") + kind.elementName) >> 24);
    for (std::size_t i = 0; i < kind.fieldCount(); ++i)
        type.fields.push_back(utf8Of(fieldLabel(fieldPlaceOf(kind, i))));
    if (laysOut(kind))
        type.fields.push_back(fromU8(kShownField));
    type.sortField = type.fields.size();
    type.fields.push_back(fromU8(kLineField));
    type.front = frontOf(kind, type.fields);
    type.back = "{{FrontSide}}\n<hr id=answer>\n<div class=\"zib-answer\">" +
                fieldReference(type.fields[*kind.positionOf(Field::Answer, 0)]) + "</div>\n";
    return type;
}

// A stable order: the same set gives the same order on every machine.
class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state;
};

template <class T>
void stableShuffle(std::vector<T>& items, std::uint64_t seed)
{
    SplitMix chance(seed);
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[chance.next() % i]);
}

std::string pieceHtml(std::u32string_view shown)
{
    return htmlOfUtf8(encodeUtf8(composedOfCodePage932(std::u32string(shown))));
}

std::string listOf(const char* cssClass, const std::vector<std::string>& items)
{
    std::string html = std::string("<ul class=\"") + cssClass + "\">";
    for (const std::string& item : items)
        html += "<li>" + item + "</li>";
    return html + "</ul>";
}

// What the player works with, as the verdict plays the line; nothing where
// it cannot.
std::optional<std::string> shownOf(const ProblemKind& kind, const TextList& texts, const PlayVerdict& verdict,
                                   std::uint64_t seed)
{
    std::vector<std::string> items;
    switch (verdict.mode) {
    case PlayMode::Reveal: return std::string();
    case PlayMode::Choice:
    case PlayMode::Tiles: {
        for (const PlayPiece& piece : verdict.pieces)
            items.push_back(pieceHtml(piece.shown));
        if (verdict.inOrder)
            return listOf("zib-choices zib-ox", items);
        const std::vector<std::string> written = items;
        stableShuffle(items, seed);
        // Tiles in the answer's own order would give it away.
        if (verdict.mode == PlayMode::Tiles && items == written)
            std::rotate(items.begin(), items.begin() + 1, items.end());
        return listOf(verdict.mode == PlayMode::Choice ? "zib-choices" : "zib-tiles", items);
    }
    case PlayMode::Reels:
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (kind.placeOf(i).field != Field::Reel || isBlankText(texts[i]))
                continue;
            const std::optional<std::string> reel = fieldHtml(texts[i]);
            if (!reel)
                return std::nullopt;
            items.push_back(htmlOfUtf8(utf8Of(fieldLabel(fieldPlaceOf(kind, i)))) + ": " + *reel);
        }
        return listOf("zib-reels", items);
    }
    return std::string();
}

} // namespace

const char* const kAnkiCardStyle =
    ".card { font-family: sans-serif; font-size: 22px; text-align: center; }\n"
    ".zib-line { font-size: 12px; color: #888; text-align: right; }\n"
    ".zib-hints { display: inline-block; text-align: left; }\n"
    ".zib-choices, .zib-tiles, .zib-reels { list-style: none; padding: 0; }\n"
    ".zib-choices li { border: 1px solid #aaa; border-radius: 6px; margin: 6px auto; padding: 6px; max-width: 30em; }\n"
    ".zib-ox li { display: inline-block; min-width: 2em; margin: 6px 12px; }\n"
    ".zib-tiles li { display: inline-block; border: 1px solid #aaa; margin: 4px; padding: 4px 10px; }\n"
    ".zib-answer { font-weight: bold; }\n";

const std::vector<AnkiNoteType>& ankiNoteTypes()
{
    static const std::vector<AnkiNoteType> types = [] {
        std::vector<AnkiNoteType> made;
        for (const ProblemKind& kind : problemKinds())
            made.push_back(noteTypeOf(kind));
        return made;
    }();
    return types;
}

AnkiDeckBuilder::AnkiDeckBuilder(std::string_view name) : setName(name) {}

std::optional<AnkiNote> AnkiDeckBuilder::noteOf(const ProblemBase& problem, std::size_t line, ProblemPlace place,
                                                std::optional<FallenLine>& fallback)
{
    const ProblemKind* kind = findKind(problem.type);
    if (!kind)
        return std::nullopt;
    AnkiNote note;
    note.kind = kind;
    note.line = line;
    const TextList texts = kind->textsOf(problem);
    for (const std::string& text : texts) {
        std::optional<std::string> html = fieldHtml(text);
        if (!html)
            return std::nullopt;
        note.fields.push_back(std::move(*html));
    }
    // The GUID: the set, the kind, the naming texts and how many equal ones
    // came before, so that a re-export updates the same notes.
    std::string key = setName + '\x1f' + kind->elementName;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (kind->placeOf(i).field == kind->namingField)
            key += '\x1f' + note.fields[i];
    const std::size_t before = namingCounts[key]++;
    const std::uint64_t id = hashOf(key + '\x1f' + std::to_string(before));
    note.guid = base91(id);

    const PlayVerdict verdict = playVerdict(problem);
    if (laysOut(*kind)) {
        std::optional<std::string> shown = shownOf(*kind, texts, verdict, id);
        if (!shown)
            return std::nullopt;
        note.fields.push_back(std::move(*shown));
    }
    note.fields.push_back(std::to_string(line));
    if (verdict.mode == PlayMode::Reveal && (laysOut(*kind) || verdict.fallback == Fallback::BlankAnswer))
        fallback = FallenLine{line, place, kind, verdict.fallback};
    return note;
}

bool AnkiDeckBuilder::add(const ProblemBase& problem)
{
    ++problems;
    const std::size_t notesBefore = written.size();
    const std::size_t fallenBefore = fallen.size();
    const std::size_t firstLine = written.size() + 1;
    const ProblemRefs branches = problem.getBranches();
    const std::string tags = branches.empty() ? "" : " " + fromU8(kBranchTag) + std::to_string(firstLine) + " ";
    bool kept = true;
    for (std::size_t j = 0; kept && j <= branches.size(); ++j) {
        std::optional<FallenLine> fallback;
        std::optional<AnkiNote> note =
            noteOf(j == 0 ? problem : *branches[j - 1], firstLine + j, {problems, j}, fallback);
        if (!note) {
            kept = false;
            break;
        }
        note->tags = tags;
        written.push_back(std::move(*note));
        if (fallback)
            fallen.push_back(*fallback);
    }
    if (!kept) {
        written.resize(notesBefore);
        fallen.resize(fallenBefore);
    }
    return kept;
}

std::optional<std::vector<AnkiNote>> ankiNotesOf(std::string_view setName, const ProblemList& problems)
{
    AnkiDeckBuilder deck(setName);
    for (const ProblemPtr& problem : problems)
        if (!deck.add(*problem))
            return std::nullopt;
    return deck.notes();
}
