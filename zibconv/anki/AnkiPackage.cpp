#include "zibconv/anki/AnkiPackage.h"

#include "text/Unicode.h"
#include "zibconv/anki/AnkiText.h"
#include "zibconv/zip/ZipWriter.h"

#include <sqlite3.h>

#include <ctime>
#include <memory>
#include <string_view>

namespace {

// Anki's schema 11, as its own collections have it.
constexpr const char* kSchema = R"(
create table col (
    id integer primary key, crt integer not null, mod integer not null, scm integer not null,
    ver integer not null, dty integer not null, usn integer not null, ls integer not null,
    conf text not null, models text not null, decks text not null, dconf text not null, tags text not null);
create table notes (
    id integer primary key, guid text not null, mid integer not null, mod integer not null,
    usn integer not null, tags text not null, flds text not null, sfld integer not null,
    csum integer not null, flags integer not null, data text not null);
create table cards (
    id integer primary key, nid integer not null, did integer not null, ord integer not null,
    mod integer not null, usn integer not null, type integer not null, queue integer not null,
    due integer not null, ivl integer not null, factor integer not null, reps integer not null,
    lapses integer not null, left integer not null, odue integer not null, odid integer not null,
    flags integer not null, data text not null);
create table revlog (
    id integer primary key, cid integer not null, usn integer not null, ease integer not null,
    ivl integer not null, lastIvl integer not null, factor integer not null, time integer not null,
    type integer not null);
create table graves (usn integer not null, oid integer not null, type integer not null);
)";

// Built once the rows are in, which is faster than keeping them up to date.
constexpr const char* kIndexes = R"(
create index ix_notes_usn on notes (usn);
create index ix_cards_usn on cards (usn);
create index ix_revlog_usn on revlog (usn);
create index ix_cards_nid on cards (nid);
create index ix_cards_sched on cards (did, queue, due);
create index ix_revlog_cid on revlog (cid);
create index ix_notes_csum on notes (csum);
)";

// The settings that decide the file's bytes, whatever SQLite's build
// defaults are.
constexpr const char* kFileSettings =
    "pragma page_size = 4096; pragma encoding = 'UTF-8'; pragma secure_delete = on; pragma auto_vacuum = none; pragma journal_mode = off;";

constexpr std::int64_t kDefaultDeck = 1;
constexpr std::int64_t kDefaultOptions = 1;

struct DatabaseClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
struct SqliteFree {
    void operator()(unsigned char* bytes) const { sqlite3_free(bytes); }
};
using Database = std::unique_ptr<sqlite3, DatabaseClose>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

Statement prepared(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

// The text must live until the statement has stepped.
bool bindText(sqlite3_stmt* statement, int at, const std::string& text)
{
    return sqlite3_bind_text(statement, at, text.data(), static_cast<int>(text.size()), SQLITE_STATIC) == SQLITE_OK;
}

// Binds integers and texts in order, steps once and resets.
class Row {
public:
    explicit Row(sqlite3_stmt* s) : statement(s) {}
    Row& operator<<(std::int64_t value)
    {
        ok = ok && sqlite3_bind_int64(statement, ++at, value) == SQLITE_OK;
        return *this;
    }
    Row& operator<<(const std::string& text)
    {
        ok = ok && bindText(statement, ++at, text);
        return *this;
    }
    bool step()
    {
        ok = ok && sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return ok;
    }

private:
    sqlite3_stmt* statement;
    int at = 0;
    bool ok = true;
};

std::int64_t deckIdOf(const std::string& name)
{
    return static_cast<std::int64_t>(hashOf("zib deck " + name) >> 24);
}

std::string deckJson(std::int64_t id, const std::string& name, std::int64_t seconds)
{
    return jsonQuotedUtf8(std::to_string(id)) + ":{\"id\":" + std::to_string(id) + ",\"name\":" + jsonQuotedUtf8(name) +
           ",\"mod\":" + std::to_string(seconds) +
           ",\"usn\":-1,\"lrnToday\":[0,0],\"revToday\":[0,0],\"newToday\":[0,0],\"timeToday\":[0,0],"
           "\"collapsed\":false,\"browserCollapsed\":false,\"desc\":\"\",\"dyn\":0,\"conf\":" +
           std::to_string(kDefaultOptions) + ",\"extendNew\":0,\"extendRev\":0}";
}

std::string decksJson(const AnkiDeckBuilder& deck, std::int64_t seconds)
{
    return "{" + deckJson(kDefaultDeck, "Default", seconds) + "," + deckJson(deckIdOf(deck.name()), deck.name(), seconds) +
           "}";
}

std::string noteTypeJson(const AnkiNoteType& type, std::int64_t deckId, std::int64_t seconds)
{
    std::string fields;
    for (std::size_t i = 0; i < type.fields.size(); ++i)
        fields += std::string(i ? "," : "") + "{\"name\":" + jsonQuotedUtf8(type.fields[i]) + ",\"ord\":" +
                  std::to_string(i) + ",\"sticky\":false,\"rtl\":false,\"font\":\"Arial\",\"size\":20,\"media\":[]}";
    const std::string id = std::to_string(type.id);
    // The line field is never empty, and every front shows it: each note
    // has its card.
    return jsonQuotedUtf8(id) + ":{\"id\":" + id + ",\"name\":" + jsonQuotedUtf8(type.name) + ",\"type\":0,\"mod\":" +
           std::to_string(seconds) + ",\"usn\":-1,\"sortf\":" + std::to_string(type.sortField) + ",\"did\":" +
           std::to_string(deckId) + ",\"tmpls\":[{\"name\":" + jsonQuotedUtf8(type.name) + ",\"ord\":0,\"qfmt\":" +
           jsonQuotedUtf8(type.front) + ",\"afmt\":" + jsonQuotedUtf8(type.back) +
           ",\"bqfmt\":\"\",\"bafmt\":\"\",\"did\":null,\"bfont\":\"\",\"bsize\":0}],\"flds\":[" + fields +
           "],\"css\":" + jsonQuotedUtf8(kAnkiCardStyle) +
           ",\"latexPre\":\"\\\\documentclass[12pt]{article}\\n\\\\special{papersize=3in,5in}\\n"
           "\\\\usepackage[utf8]{inputenc}\\n\\\\usepackage{amssymb,amsmath}\\n\\\\pagestyle{empty}\\n"
           "\\\\setlength{\\\\parindent}{0in}\\n\\\\begin{document}\\n\",\"latexPost\":\"\\\\end{document}\","
           "\"latexsvg\":false,\"req\":[[0,\"any\",[" +
           std::to_string(type.sortField) + "]]],\"tags\":[],\"vers\":[]}";
}

std::string modelsJson(std::int64_t deckId, std::int64_t seconds)
{
    std::string json = "{";
    for (const AnkiNoteType& type : ankiNoteTypes())
        json += (json.size() > 1 ? "," : "") + noteTypeJson(type, deckId, seconds);
    return json + "}";
}

std::string optionsJson(std::int64_t seconds)
{
    return "{\"1\":{\"id\":1,\"name\":\"Default\",\"mod\":" + std::to_string(seconds) +
           ",\"usn\":-1,\"maxTaken\":60,\"autoplay\":true,\"timer\":0,\"replayq\":true,\"dyn\":false,"
           "\"new\":{\"bury\":false,\"delays\":[1,10],\"initialFactor\":2500,\"ints\":[1,4,0],\"order\":1,"
           "\"perDay\":20},\"rev\":{\"bury\":false,\"ease4\":1.3,\"ivlFct\":1,\"maxIvl\":36500,\"perDay\":200,"
           "\"hardFactor\":1.2},\"lapse\":{\"delays\":[10],\"leechAction\":1,\"leechFails\":8,\"minInt\":1,"
           "\"mult\":0}}}";
}

std::string configJson(const AnkiDeckBuilder& deck, std::int64_t deckId)
{
    const std::int64_t firstType = ankiNoteTypes().front().id;
    return "{\"nextPos\":" + std::to_string(deck.notes().size() + 1) +
           ",\"estTimes\":true,\"activeDecks\":[" + std::to_string(deckId) + "],\"sortType\":\"noteFld\","
           "\"timeLim\":0,\"sortBackwards\":false,\"addToCur\":true,\"curDeck\":" + std::to_string(deckId) +
           ",\"newBury\":true,\"newSpread\":0,\"dueCounts\":true,\"curModel\":" + std::to_string(firstType) +
           ",\"collapseTime\":1200,\"schedVer\":2}";
}

// Every tag of the notes, each once, with its update number.
std::string tagsJson(const AnkiDeckBuilder& deck)
{
    std::string json = "{";
    std::string last;
    for (const AnkiNote& note : deck.notes()) {
        if (note.tags.empty() || note.tags == last)
            continue;
        last = note.tags;
        const std::string tag = note.tags.substr(1, note.tags.size() - 2);
        json += (json.size() > 1 ? "," : "") + jsonQuotedUtf8(tag) + ":-1";
    }
    return json + "}";
}

bool executed(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool insertCollection(sqlite3* db, const AnkiDeckBuilder& deck, std::int64_t seconds)
{
    const std::int64_t deckId = deckIdOf(deck.name());
    const Statement col = prepared(db, "insert into col values (1, ?, ?, ?, 11, 0, 0, 0, ?, ?, ?, ?, ?)");
    if (!col || !(Row(col.get()) << seconds << seconds * 1000 << seconds * 1000 << configJson(deck, deckId)
                                  << modelsJson(deckId, seconds) << decksJson(deck, seconds) << optionsJson(seconds)
                                  << tagsJson(deck))
                     .step())
        return false;
    const Statement notes = prepared(db, "insert into notes values (?, ?, ?, ?, -1, ?, ?, ?, ?, 0, '')");
    const Statement cards =
        prepared(db, "insert into cards values (?, ?, ?, 0, ?, -1, 0, 0, ?, 0, 0, 0, 0, 0, 0, 0, 0, '')");
    if (!notes || !cards)
        return false;
    // Ids as Anki makes them, milliseconds, one apart.
    std::int64_t id = seconds * 1000;
    for (const AnkiNote& note : deck.notes()) {
        ++id;
        std::string fields;
        for (std::size_t i = 0; i < note.fields.size(); ++i)
            (fields += i ? "\x1f" : "") += note.fields[i];
        const std::int64_t line = static_cast<std::int64_t>(note.line);
        if (!(Row(notes.get()) << id << note.guid << ankiNoteTypes()[note.kind->tag].id << seconds << note.tags
                               << fields << line << fieldChecksum(note.fields.front()))
                 .step() ||
            !(Row(cards.get()) << id << id << deckId << seconds << line).step())
            return false;
    }
    return true;
}

struct SerializedCollection {
    std::unique_ptr<unsigned char, SqliteFree> image;
    std::size_t size = 0;
    std::string_view bytes() const { return {reinterpret_cast<const char*>(image.get()), size}; }
};

std::optional<SerializedCollection> serializedCollection(const AnkiDeckBuilder& deck, std::int64_t seconds)
{
    sqlite3* opened = nullptr;
    const int status = sqlite3_open_v2(":memory:", &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const Database db(opened);
    if (status != SQLITE_OK || !executed(db.get(), kFileSettings) || !executed(db.get(), "begin") ||
        !executed(db.get(), kSchema) || !insertCollection(db.get(), deck, seconds) || !executed(db.get(), kIndexes) ||
        !executed(db.get(), "commit"))
        return std::nullopt;
    sqlite3_int64 size = 0;
    SerializedCollection collection{std::unique_ptr<unsigned char, SqliteFree>(sqlite3_serialize(db.get(), "main", &size, 0)),
                                    static_cast<std::size_t>(size)};
    if (!collection.image)
        return std::nullopt;
    return collection;
}

} // namespace

std::optional<std::string> ankiCollection(const AnkiDeckBuilder& deck, std::int64_t seconds)
{
    const std::optional<SerializedCollection> collection = serializedCollection(deck, seconds);
    if (!collection)
        return std::nullopt;
    return std::string(collection->bytes());
}

std::optional<std::string> ankiPackage(const AnkiDeckBuilder& deck, std::int64_t seconds)
{
    const std::optional<SerializedCollection> collection = serializedCollection(deck, seconds);
    if (!collection)
        return std::nullopt;
    std::string package;
    package.reserve(collection->size / 2);
    ZipWriter zip(static_cast<std::time_t>(seconds), [&](std::string_view piece) {
        package += piece;
        return true;
    });
    if (!zip.add("collection.anki2", std::string(collection->bytes())) || !zip.add("media", "{}") || !zip.finish())
        return std::nullopt;
    return package;
}
