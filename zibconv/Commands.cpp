// What export and import share: where an output may be written, and why a
// quiz file was not read.
#include "zibconv/Commands.h"

#include "files/FileIO.h"
#include "zibconv/Console.h"

// An output is written only where that is safe: never over the input, never
// in place of what is not a file, and over an existing file only when the
// user said so.
bool mayWrite(const Invocation& invocation)
{
    if (isSameFile(invocation.input, invocation.output)) {
        printLine(Stream::Error, message::kOutputIsInput, invocation.output);
        return false;
    }
    if (writeTargetOf(invocation.output) == WriteTarget::NotAFile) {
        printLine(Stream::Error, message::kOutputNotAFile, invocation.output);
        return false;
    }
    if (invocation.force || !pathExists(invocation.output))
        return true;
    printLine(Stream::Error, message::kOutputExists, invocation.output);
    return false;
}

int reportUnreadableQuizFile(const std::string& path)
{
    // Told apart only now, so that a file that loads is read once.
    if (!readFileBytes(path))
        printLine(Stream::Error, message::kCannotRead, path);
    else
        printLine(Stream::Error, message::kNotAQuizFile, path);
    return kExitUnreadable;
}
