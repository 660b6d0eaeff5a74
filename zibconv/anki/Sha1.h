// SHA-1, which Anki's packages use for two things: a note's checksum of
// its first field, and here the stable GUIDs. Not for security.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

std::array<std::uint8_t, 20> sha1(std::string_view bytes);
