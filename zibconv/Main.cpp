// zibconv: quiz sets to spreadsheet tables and back, and a check of what the
// editor would keep of a quiz file.
#include "review/FindingText.h"
#include "zibconv/Arguments.h"
#include "zibconv/CommandLine.h"
#include "zibconv/Commands.h"
#include "zibconv/Console.h"

#include <new>
#include <utility>
#include <string>
#include <vector>

namespace {

// The review's folding, how many of a group it names and the kinds whose
// answer is their content are told as the review has them.
std::string detailLine(std::string line)
{
    const std::pair<std::string, std::string> placeholders[] = {{"%FOLDING%", kFoldingExplained},
                                                                {"%GROUPNAMED%", std::to_string(kGroupNamed)},
                                                                {"%ANSWERKINDS%", answerContentKindsText()}};
    for (const auto& [placeholder, text] : placeholders)
        if (const std::size_t at = line.find(placeholder); at != std::string::npos)
            line.replace(at, placeholder.size(), text);
    return line;
}

void printUsage(Stream stream, bool withDetails)
{
    for (const std::string& line : usageLines())
        printLine(stream, line);
    if (withDetails)
        for (std::size_t i = 0; i < message::kHelpDetailCount; ++i)
            printLine(stream, detailLine(message::kHelpDetails[i]));
}

int run(const std::vector<std::string>& arguments)
{
    UsageError error;
    const std::optional<Invocation> invocation = parseCommandLine(arguments, error);
    if (!invocation) {
        printLine(Stream::Error, error.message, error.argument);
        printUsage(Stream::Error, false);
        return kExitUsage;
    }
    switch (invocation->command) {
    case Command::Export: return runExport(*invocation);
    case Command::Import: return runImport(*invocation);
    case Command::Check: return runCheck(*invocation);
    case Command::Version: printLine(Stream::Out, "zibconv " ZIB_VERSION); return kExitDone;
    case Command::Help: printUsage(Stream::Out, true); return kExitDone;
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    int status = kExitUsage;
    try {
        status = run(programArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        printLine(Stream::Error, message::kOutOfMemory);
        status = kExitUnreadable;
    } catch (const std::exception&) {
        printLine(Stream::Error, message::kCannotGoOn);
        status = kExitRefused;
    }
    pauseIfConsoleIsOwn();
    return status;
}
