// Arbitrary bytes through the whole load path into the problem list, then a
// save of what was loaded and a reload. Besides the sanitizers' findings it
// traps when a failed load touched the list, when a loaded problem breaks
// the list's shape, when a loaded list cannot be saved, or when a saved and
// reloaded list does not come back unchanged from a second round.
#include "ProblemShape.h"

#include "document/ProblemListFile.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A file of this process's own, removed when the fuzzer exits normally.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
        : path("/tmp/zib-fuzz-" + std::to_string(::getpid()) + "-" + name + ".xml")
    {
    }
    ~ScratchFile() { ::unlink(path.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string path;
};

std::string describeList()
{
    std::string out;
    for (const ProblemPtr& problem : problemList)
        out += describeExactly(*problem) + "\n";
    return out;
}

std::string saveAndReload(const std::string& path)
{
    require(saveProblemList(path));
    problemList.clear();
    require(loadProblemList(path));
    return describeList();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile inputFile("in");
    static const ScratchFile outputFile("out");
    const std::string& input = inputFile.path;
    const std::string& output = outputFile.path;
    std::ofstream(input, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));

    const ProblemPtr sentinel = createProblem(OX, {"kept", "kept"});
    problemList = {sentinel};
    if (!loadProblemList(input)) {
        require(problemList.size() == 1 && problemList.front() == sentinel);
        return 0;
    }
    for (const ProblemPtr& problem : problemList)
        require(problem != nullptr && shapeFault(*problem).empty());
    // One round normalises what the file format cannot hold (texts of
    // nothing but whitespace read back blank); the second must change
    // nothing.
    const std::string once = saveAndReload(output);
    require(saveAndReload(output) == once);
    problemList.clear();
    return 0;
}
