#include "text/LineBreaks.h"

#include "text/ReplaceAll.h"

std::string lineFeedsAsCrLf(std::string text)
{
    return replaceAll(std::move(text), "\n", "\r\n");
}

std::string crLfAsLineFeeds(std::string text)
{
    return replaceAll(std::move(text), "\r\n", "\n");
}

std::string anyBreaksAsCrLf(std::string text)
{
    if (text.find_first_of("\r\n") == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
