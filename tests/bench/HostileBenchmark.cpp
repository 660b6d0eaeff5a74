// Prints, for each hostile file of the load replay (at most 64 MB), the time
// a load takes against the load of a normal quiz file of the same size, and
// the memory it takes beyond the process's own against the file's size;
// then the worst of each (the targets: at most 10 times the time, at most
// 30 times the size). Each load runs in a process of its own, so that its
// peak memory is its own.
//   hostile_benchmark              all files
//   hostile_benchmark --one FILE   one load: "seconds baseline-bytes peak-bytes"
#include "BenchPlatform.h"
#include "tests/replay/HostileFiles.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr double kMostBytes = 64.0 * 1024 * 1024;
// Below this a file's size says nothing about what a load needs.
constexpr double kLeastMemoryBase = 64.0 * 1024;
constexpr int kRuns = 3;

struct Load {
    double seconds = 0;
    double extraBytes = 0;
    bool ran = false;
};

int loadOne(const std::string& path)
{
    // A first load of a small file brings the engine in (MSXML's code and
    // start-up are megabytes), so that what follows is the file's own.
    const std::string small = path + ".warm-up.xml";
    std::FILE* file = std::fopen(small.c_str(), "wb");
    if (file) {
        std::fputs("<root><ox><main><question>q</question></main></ox></root>", file);
        std::fclose(file);
    }
    loadProblemList(small);
    std::remove(small.c_str());
    const std::size_t baseline = peakMemoryBytes();
    const double start = secondsNow();
    loadProblemList(path);
    const double took = secondsNow() - start;
    std::printf("%.6f %zu %zu\n", took, baseline, peakMemoryBytes());
    return 0;
}

// The best of a few loads, each in a process of its own.
Load loadInChild(const std::string& path)
{
    Load best;
    for (int run = 0; run < kRuns; ++run) {
        const std::string output = runSelf({"--one", path});
        double seconds = 0, baseline = 0, peak = 0;
        if (std::sscanf(output.c_str(), "%lf %lf %lf", &seconds, &baseline, &peak) != 3)
            continue;
        if (!best.ran || seconds < best.seconds)
            best.seconds = seconds;
        best.extraBytes = std::max(best.extraBytes, peak - baseline);
        best.ran = true;
    }
    return best;
}

// A set of ordinary problems whose file has about `bytes` bytes.
std::string normalTwin(double bytes, const std::string& path)
{
    const auto saveSet = [&](int count) {
        problemList.clear();
        for (int i = 0; i < count; ++i) {
            const int kind = i % kProblemTypeCount;
            TextList texts;
            for (std::size_t f = 0; f < fieldCount(kind); ++f)
                texts.push_back("問題" + std::to_string(i) + "：日本で一番長い川は？ & <" + std::to_string(f) + ">");
            problemList.push_back(createProblem(kind, texts));
        }
        saveProblemList(path);
        problemList.clear();
        return static_cast<double>(std::filesystem::file_size(path));
    };
    const double perProblem = saveSet(100) / 100;
    saveSet(std::max(1, static_cast<int>(bytes / perProblem)));
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--one")
        return loadOne(argv[2]);
    const std::string folder = scratchFolder() + "zib-hostile-benchmark";
    writeHostileFiles(folder);
    const std::string twin = scratchFolder() + "zib-hostile-twin.xml";
    double worstTime = 0, worstMemory = 0;
    std::string worstTimeName, worstMemoryName;
    std::printf("%-40s %10s %9s %9s %6s %9s %6s\n", "file", "bytes", "load s", "normal s", "ratio", "extra MB",
                "ratio");
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || static_cast<double>(entry.file_size()) > kMostBytes)
            continue;
        const std::string name = entry.path().filename().string();
        const double size = static_cast<double>(entry.file_size());
        const Load hostile = loadInChild(entry.path().string());
        const Load normal = loadInChild(normalTwin(size, twin));
        if (!hostile.ran || !normal.ran) {
            std::printf("%-40s no figures: the load did not finish\n", name.c_str());
            continue;
        }
        const double timeRatio = hostile.seconds / normal.seconds;
        const double memoryRatio = hostile.extraBytes / std::max(size, kLeastMemoryBase);
        std::printf("%-40s %10.0f %9.4f %9.4f %6.2f %9.2f %6.2f\n", name.c_str(), size, hostile.seconds, normal.seconds,
                    timeRatio, hostile.extraBytes / 1e6, memoryRatio);
        std::fflush(stdout);
        if (timeRatio > worstTime) {
            worstTime = timeRatio;
            worstTimeName = name;
        }
        if (memoryRatio > worstMemory) {
            worstMemory = memoryRatio;
            worstMemoryName = name;
        }
    }
    std::filesystem::remove_all(folder);
    std::filesystem::remove(twin);
    std::printf("worst time: %.2f times a normal file of its size (%s; target at most 10)\n", worstTime,
                worstTimeName.c_str());
    std::printf("worst memory: %.2f times its size, at least %.0f KB (%s; target at most 30)\n", worstMemory,
                kLeastMemoryBase / 1024, worstMemoryName.c_str());
    return 0;
}
