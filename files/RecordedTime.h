// The time a written file records inside itself (a workbook's creation, a
// package's entries): now, or SOURCE_DATE_EPOCH where that is set, as
// reproducible builds have it, so that one set always gives the same bytes.
#pragma once

#include <cstdlib>
#include <ctime>

inline std::time_t recordedTime()
{
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
        if (const long long seconds = std::strtoll(epoch, nullptr, 10); seconds > 0)
            return static_cast<std::time_t>(seconds);
    return std::time(nullptr);
}
