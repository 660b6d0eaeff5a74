#include "text/ReplaceAll.h"

std::string replaceAll(std::string s, std::string from, std::string to)
{
    // An empty pattern would match at every position and never advance.
    if (from.empty())
        return s;
    std::string::size_type pos = s.find(from);
    if (pos == std::string::npos)
        return s;
    // Built anew rather than replaced in place, so that a text with many
    // line feeds costs linear time.
    std::string result;
    std::string::size_type done = 0;
    while (pos != std::string::npos) {
        result.append(s, done, pos - done);
        result += to;
        done = pos + from.size();
        pos = s.find(from, done);
    }
    result.append(s, done, std::string::npos);
    return result;
}
