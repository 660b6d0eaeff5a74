#include "BenchPlatform.h"

#include "xml/FileIO.h"
#include "xml/Iconv.h"

#include <libxml/parser.h>

#include <sys/resource.h>
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
    std::optional<std::string> text = source ? decodeToUtf8(*source) : std::nullopt;
    if (!text)
        return false;
    xmlDoc* document = xmlReadMemory(text->data(), static_cast<int>(text->size()), nullptr, "UTF-8",
                                     XML_PARSE_NONET | XML_PARSE_IGNORE_ENC | XML_PARSE_COMPACT);
    xmlFreeDoc(document);
    return document != nullptr;
}

std::string scratchFolder()
{
    return "/tmp/";
}
