#include "zibconv/anki/ExportAnki.h"

#include "document/QuizWalk.h"
#include "files/RecordedTime.h"
#include "zibconv/anki/AnkiPackage.h"

namespace {

class AnkiCollector : public QuizWalkReceiver {
public:
    explicit AnkiCollector(std::string_view setName) : deck(setName) {}

    void problem(ProblemPtr problem) override
    {
        counts.add(*problem);
        kept = kept && deck.add(*problem);
    }

    AnkiDeckBuilder deck;
    SetCounts counts;
    bool kept = true;
};

} // namespace

std::optional<ExportedAnki> exportQuizAnki(const std::string& path, std::string_view setName)
{
    AnkiCollector collector(setName);
    if (!walkQuizFile(path, collector))
        return std::nullopt;
    ExportedAnki exported{std::nullopt, collector.counts, collector.deck.fallbacks()};
    if (collector.kept)
        exported.bytes = ankiPackage(collector.deck, recordedTime());
    return exported;
}
