#include "xml/FileIO.h"
#include "xml/XMLFile.h"
#include "xml/XMLParser.h"

#include <utility>

XMLNodesPtr loadXMLFile(std::string path)
{
    std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes)
        return nullptr;
    std::optional<XMLSource> source = identifyEncoding(std::move(*bytes));
    if (!source)
        return nullptr;
    return parseXMLSource(std::move(*source));
}
