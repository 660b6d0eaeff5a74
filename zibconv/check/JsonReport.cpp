#include "zibconv/check/JsonReport.h"

#include "review/FindingText.h"
#include "zibconv/check/JsonWriter.h"

namespace {

std::optional<std::size_t> numberOrNothing(std::size_t number)
{
    return number ? std::optional(number) : std::nullopt;
}

void writePlace(JsonWriter& json, std::size_t problem, std::size_t branch, const ProblemKind* kind)
{
    json.key("problem");
    json.numberOrNull(numberOrNothing(problem));
    json.key("branch");
    json.numberOrNull(numberOrNothing(branch));
    json.key("kind");
    if (kind)
        json.text(kind->elementName);
    else
        json.null();
}

void writeLoss(JsonWriter& json, const CheckLoss& loss, bool isTable)
{
    json.beginObject();
    writePlace(json, loss.problem, loss.branch, loss.kind);
    json.key("field");
    json.null();
    json.key("rule");
    json.text(isTable ? "table-refused" : "editor-drops");
    json.key("text");
    json.text(loss.text);
    json.endObject();
}

void writeFinding(JsonWriter& json, const ContentFinding& finding)
{
    json.beginObject();
    writePlace(json, finding.place.problem, finding.place.branch, finding.kind);
    json.key("field");
    json.beginObject();
    json.key("name");
    json.text(fieldInfo(finding.field.field).elementName);
    json.key("index");
    json.numberOrNull(numberOrNothing(finding.field.index));
    json.endObject();
    json.key("rule");
    json.text(ruleName(finding.rule));
    json.key("text");
    json.text(finding.text);
    json.key("message");
    json.text(findingSentence(finding));
    if (!finding.group.empty()) {
        json.key("same");
        json.beginArray();
        for (std::size_t i = 0; i < finding.group.size(); ++i) {
            json.beginObject();
            writePlace(json, finding.group[i].problem, finding.group[i].branch, finding.kind);
            json.key("answer");
            json.text(finding.answers[i]);
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
}

void writeSummary(JsonWriter& json, const CheckedSet& set, std::size_t findings)
{
    const SetCounts& counts = set.counts;
    json.beginObject();
    json.key("problems");
    json.number(counts.problems);
    json.key("branches");
    json.number(counts.branches);
    json.key("kinds");
    json.beginObject();
    for (const ProblemKind& kind : problemKinds()) {
        json.key(kind.elementName);
        json.number(counts.ofKind[static_cast<std::size_t>(kind.tag)]);
    }
    json.endObject();
    json.key("losses");
    json.number(set.losses.size());
    json.key("findings");
    json.number(findings);
    json.endObject();
}

} // namespace

std::string jsonReport(const CheckedSet& set, const std::vector<ContentFinding>& findings)
{
    JsonWriter json;
    json.beginObject();
    json.key("losses");
    json.beginArray();
    for (const CheckLoss& loss : set.losses)
        writeLoss(json, loss, set.isTable);
    json.endArray();
    json.key("notes");
    json.beginArray();
    for (const std::string& note : set.notes)
        json.text(note);
    json.endArray();
    json.key("findings");
    json.beginArray();
    for (const ContentFinding& finding : findings)
        writeFinding(json, finding);
    json.endArray();
    json.key("summary");
    writeSummary(json, set, findings.size());
    json.endObject();
    return json.document();
}
