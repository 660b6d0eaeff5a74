#include "BenchPlatform.h"

#include "files/FileIO.h"
#include "text/Iconv.h"
#include "xml/SourceEncoding.h"

#include <libxml/parser.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>
#include <time.h>

double secondsNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::size_t peakMemoryBytes()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

bool parseOnly(const std::string& path)
{
    std::optional<std::string> bytes = readFileBytes(path);
    std::optional<XMLSource> source = bytes ? identifyEncoding(std::move(*bytes)) : std::nullopt;
    std::optional<std::string> text = source ? decodeToUtf8(source->encoding, std::move(source->bytes)) : std::nullopt;
    if (!text)
        return false;
    xmlDoc* document = xmlReadMemory(text->data(), static_cast<int>(text->size()), nullptr, "UTF-8",
                                     XML_PARSE_NONET | XML_PARSE_IGNORE_ENC | XML_PARSE_COMPACT);
    xmlFreeDoc(document);
    return document != nullptr;
}

// TMPDIR where it is set: two benchmarks running at once on one machine
// must not write each other's files.
std::string scratchFolder()
{
    const char* folder = std::getenv("TMPDIR");
    if (!folder || !*folder)
        return "/tmp/";
    const std::string named(folder);
    return named.ends_with('/') ? named : named + "/";
}

std::string runSelf(const std::vector<std::string>& arguments)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return {};
    std::string command = std::string("'") + self + "'";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}
