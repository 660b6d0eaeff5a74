#include "files/FileIO.h"
#include "xml/XMLFile.h"
#include "xml/XMLParser.h"

#include <utility>

namespace {

std::optional<XMLSource> sourceOf(const std::string& path)
{
    std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes)
        return std::nullopt;
    return identifyEncoding(std::move(*bytes));
}

} // namespace

XMLNodesPtr loadXMLFile(std::string path)
{
    std::optional<XMLSource> source = sourceOf(path);
    return source ? parseXMLSource(std::move(*source)) : nullptr;
}

bool streamXMLFile(std::string path, const std::function<void(const XMLNodes&)>& each)
{
    std::optional<XMLSource> source = sourceOf(path);
    return source && streamXMLSource(std::move(*source), each);
}
