#include "zibconv/gift/ExportGift.h"

#include "document/QuizWalk.h"

namespace {

class GiftCollector : public QuizWalkReceiver {
public:
    explicit GiftCollector(std::string_view setName) : writer(setName) {}

    void problem(ProblemPtr problem) override
    {
        counts.add(*problem);
        written = written && writer.add(*problem);
    }

    GiftWriter writer;
    SetCounts counts;
    bool written = true;
};

} // namespace

std::optional<ExportedGift> exportQuizGift(const std::string& path, std::string_view setName)
{
    GiftCollector collector(setName);
    if (!walkQuizFile(path, collector))
        return std::nullopt;
    ExportedGift exported{std::nullopt, collector.counts, collector.writer.fallbacks(),
                          collector.writer.shortAnswerKinds()};
    if (collector.written)
        exported.bytes = collector.writer.bytes();
    return exported;
}
