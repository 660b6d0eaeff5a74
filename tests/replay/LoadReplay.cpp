// Replays files through the load path of this build (libxml2 natively, the
// MSXML 6 DOM on Windows) with the invariants of the load path fuzzer, and
// writes one answer per file, so that the answers of both builds can be
// compared line by line:
//   load_replay --generate FOLDER    writes the hostile files
//   load_replay ANSWERS INPUT...     an INPUT folder stands for its entries
// An answer is "refused", or "loaded" with the counts of problems and
// branches and a digest of the file that saving them writes. The native
// build says "refused: namespaces" for a file that breaks only the rules
// of namespaces, which Wine's DOM takes (see known-differences.txt). A broken
// invariant is printed and makes the exit status 1.
#include "HostileFiles.h"
#include "NamespaceErrors.h"
#include "ProblemShape.h"

#include "document/ProblemListFile.h"
#include "document/QuizWalk.h"
#include "model/ProblemFields.h"
#include "model/ProblemList.h"
#include "files/FileIO.h"
#include "files/TemporaryFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Input {
    std::string path;
    std::string name; // the same in both builds' answers
};

std::vector<Input> inputsOf(const std::vector<std::string>& arguments)
{
    std::vector<Input> inputs;
    for (const std::string& argument : arguments) {
        if (!std::filesystem::is_directory(argument)) {
            inputs.push_back({argument, std::filesystem::path(argument).filename().string()});
            continue;
        }
        std::vector<Input> entries;
        for (const auto& entry : std::filesystem::directory_iterator(argument))
            entries.push_back({entry.path().string(), entry.path().filename().string()});
        std::sort(entries.begin(), entries.end(), [](const Input& a, const Input& b) { return a.name < b.name; });
        inputs.insert(inputs.end(), entries.begin(), entries.end());
    }
    return inputs;
}

std::uint64_t digestOf(const std::string& bytes)
{
    std::uint64_t value = 14695981039346656037ull;
    for (char c : bytes) {
        value ^= static_cast<unsigned char>(c);
        value *= 1099511628211ull;
    }
    return value;
}

std::string describeList()
{
    std::string out;
    for (const ProblemPtr& problem : problemList)
        out += describeExactly(*problem) + "\n";
    return out;
}

// The problems of a file read child by child, as zibconv's commands read
// it; nothing when that reader refuses the file.
class StreamedProblems : public QuizWalkReceiver {
public:
    std::string described;

    void problem(ProblemPtr problem) override { described += describeExactly(*problem) + "\n"; }
};

std::optional<std::string> streamedProblems(const std::string& path)
{
    StreamedProblems streamed;
    if (!walkQuizFile(path, streamed))
        return std::nullopt;
    return streamed.described;
}

class Replay {
public:
    explicit Replay(std::string scratchFile) : scratch(std::move(scratchFile)) {}

    // The answer for one file; broken invariants go to `broken`.
    std::string answer(const Input& input)
    {
        current = input.name;
        const ProblemPtr sentinel = createProblem(OX, {"kept", "kept"});
        problemList = {sentinel};
        const std::optional<std::string> streamed = streamedProblems(input.path);
        if (!loadProblemList(input.path)) {
            require(problemList.size() == 1 && problemList.front() == sentinel, "a failed load changed the list");
            require(!streamed, "the streaming reader reads a file the tree reader refuses");
#ifndef _WIN32
            if (breaksOnlyNamespaces(input.path))
                return "refused: namespaces";
#endif
            return "refused";
        }
        require(streamed == describeList(), "the streaming reader and the tree reader give other problems");
        std::size_t branches = 0;
        for (const ProblemPtr& problem : problemList) {
            if (!require(problem != nullptr, "an empty entry in the list"))
                continue;
            const std::string fault = shapeFault(*problem);
            require(fault.empty(), fault.c_str());
            branches += problem->getBranches().size();
        }
        const std::size_t problems = problemList.size();
        // One round normalises what the format cannot hold; the second
        // changes nothing.
        const std::string once = saveAndReload();
        const std::string saved = readFileBytes(scratch).value_or("");
        require(saveAndReload() == once, "a second save and reload changed the problems");
        problemList.clear();
        char digest[32];
        std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(digestOf(saved)));
        return "loaded " + std::to_string(problems) + " " + std::to_string(branches) + " " + digest;
    }

    int brokenCount = 0;

private:
    bool require(bool holds, const char* what)
    {
        if (!holds) {
            std::printf("BROKEN %s: %s\n", current.c_str(), what);
            ++brokenCount;
        }
        return holds;
    }

    std::string saveAndReload()
    {
        if (!require(saveProblemList(scratch), "what was loaded cannot be saved"))
            return "(not saved)";
        problemList.clear();
        require(loadProblemList(scratch), "what was saved cannot be loaded");
        return describeList();
    }

    std::string scratch;
    std::string current;
};

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "--generate") {
        writeHostileFiles(arguments[1]);
        return 0;
    }
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: load_replay --generate FOLDER | load_replay ANSWERS INPUT...\n");
        return 64;
    }
    std::ofstream answers(arguments[0], std::ios::binary);
    Replay replay(arguments[0] + ".scratch.xml");
    for (const Input& input : inputsOf({arguments.begin() + 1, arguments.end()})) {
        // The name first, so that a crash or a hang names its input.
        std::fprintf(stderr, "%s\n", input.name.c_str());
        std::fflush(stderr);
        answers << input.name << '\t' << replay.answer(input) << '\n';
        answers.flush();
    }
    removeFile(arguments[0] + ".scratch.xml");
    return replay.brokenCount == 0 ? 0 : 1;
}
