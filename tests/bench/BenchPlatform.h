// What the benchmark needs from the platform and its XML engine.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A monotonic clock, in seconds.
double secondsNow();

// The process's peak memory so far (resident set / peak working set).
std::size_t peakMemoryBytes();

// Decodes the file's bytes and has the build's engine parse them into its
// own DOM, nothing more: the floor under a load. False when it fails.
bool parseOnly(const std::string& path);

// A folder for the generated files.
std::string scratchFolder();

// Runs this program again with the arguments and returns what it printed.
std::string runSelf(const std::vector<std::string>& arguments);
