#pragma once

#include <string>

// `s` with every occurrence of `from` replaced by `to`, byte by byte. The
// search resumes after each inserted `to`, so the replacement is never
// searched again. An empty `from` returns `s` unchanged.
std::string replaceAll(std::string s, std::string from, std::string to);
