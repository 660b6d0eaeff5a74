#include "zibconv/qti/ExportQti.h"

#include "document/QuizWalk.h"
#include "files/RecordedTime.h"
#include "zibconv/qti/QtiPackage.h"

namespace {

class QtiCollector : public QuizWalkReceiver {
public:
    explicit QtiCollector(std::string_view setName)
        : zip(recordedTime()), writer(setName, [this](const QtiFile& item) { return zip.add(item.path, item.bytes); })
    {
    }

    void problem(ProblemPtr problem) override
    {
        counts.add(*problem);
        written = written && writer.add(*problem);
    }

    ZipInMemory zip;
    QtiWriter writer;
    SetCounts counts;
    bool written = true;
};

} // namespace

std::optional<ExportedQti> exportQuizQti(const std::string& path, std::string_view setName)
{
    QtiCollector collector(setName);
    if (!walkQuizFile(path, collector))
        return std::nullopt;
    ExportedQti exported{std::nullopt, collector.counts, collector.writer.fallbacks(),
                          collector.writer.cutSpellings()};
    if (!collector.written)
        return exported;
    const QtiFile test = collector.writer.test();
    const QtiFile manifest = collector.writer.manifest();
    if (collector.zip.add(test.path, test.bytes) && collector.zip.add(manifest.path, manifest.bytes))
        exported.bytes = collector.zip.finish();
    return exported;
}
