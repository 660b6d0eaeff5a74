#include "zibconv/qti/ExportQti.h"

#include "document/QuizWalk.h"
#include "files/FileIO.h"
#include "files/RecordedTime.h"
#include "zibconv/zip/ZipWriter.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// Beyond this a package's room grows as it is written.
constexpr std::uintmax_t kMaxReserve = 768u << 20;

class QtiCollector : public QuizWalkReceiver {
public:
    QtiCollector(std::string_view setName, std::size_t expectedBytes)
        : zip(recordedTime(), expectedBytes),
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

std::optional<ExportedQti> exportQuizQti(const std::string& path, std::string_view setName)
{
    // A package takes about three times its quiz file's bytes: room for
    // four, so that it is never copied as it grows.
    const std::uintmax_t quizBytes = fileSizeOf(path).value_or(0);
    QtiCollector collector(setName, static_cast<std::size_t>(std::min<std::uintmax_t>(4 * quizBytes, kMaxReserve)));
    if (!walkQuizFile(path, collector))
        return std::nullopt;
    ExportedQti exported{std::nullopt, collector.counts, collector.writer.fallbacks(),
                          collector.writer.cutSpellings()};
    if (!collector.written)
        return exported;
    QtiFile test = collector.writer.test();
    QtiFile manifest = collector.writer.manifest();
    if (collector.zip.add(std::move(test.path), std::move(test.bytes)) &&
        collector.zip.add(std::move(manifest.path), std::move(manifest.bytes)))
        exported.bytes = collector.zip.finish();
    return exported;
}
