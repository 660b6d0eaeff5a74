#include "zibconv/qti/ExportQti.h"

#include "document/QuizWalk.h"
#include "files/RecordedTime.h"
#include "zibconv/zip/ZipWriter.h"

#include <utility>

namespace {

class QtiCollector : public QuizWalkReceiver {
public:
    QtiCollector(std::string_view setName, const ByteSink& write)
        : zip(recordedTime(), write),
          writer(setName, [this](QtiFile&& item) { return zip.add(std::move(item.path), std::move(item.bytes)); })
    {
    }

    void problem(ProblemPtr problem) override
    {
        counts.add(*problem);
        written = written && writer.add(*problem);
    }

    ZipWriter zip;
    QtiWriter writer;
    SetCounts counts;
    bool written = true;
};

} // namespace

std::optional<ExportedQti> exportQuizQti(const std::string& path, std::string_view setName, const ByteSink& write)
{
    QtiCollector collector(setName, write);
    if (!walkQuizFile(path, collector))
        return std::nullopt;
    ExportedQti exported{false, collector.counts, collector.writer.fallbacks(),
                          collector.writer.cutSpellings()};
    if (!collector.written)
        return exported;
    QtiFile test = collector.writer.test();
    QtiFile manifest = collector.writer.manifest();
    if (collector.zip.add(std::move(test.path), std::move(test.bytes)) &&
        collector.zip.add(std::move(manifest.path), std::move(manifest.bytes)))
        exported.written = collector.zip.finish();
    return exported;
}
