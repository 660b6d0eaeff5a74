#include "zibconv/anki/Sha1.h"

#include <cstddef>
#include <string>

namespace {

std::uint32_t rotated(std::uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}

void compress(std::uint32_t (&state)[5], const unsigned char* block)
{
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    for (int i = 16; i < 80; ++i)
        w[i] = rotated(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (int i = 0; i < 80; ++i) {
        std::uint32_t f = 0, k = 0;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const std::uint32_t next = rotated(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = rotated(b, 30);
        b = a;
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}

} // namespace

std::array<std::uint8_t, 20> sha1(std::string_view bytes)
{
    std::uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const std::size_t whole = bytes.size() / 64 * 64;
    for (std::size_t at = 0; at < whole; at += 64)
        compress(state, reinterpret_cast<const unsigned char*>(bytes.data() + at));
    // The rest, a one bit, zeros, and the length in bits, big-endian.
    std::string tail(bytes.substr(whole));
    tail += '\x80';
    while (tail.size() % 64 != 56)
        tail += '\0';
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (int shift = 56; shift >= 0; shift -= 8)
        tail += static_cast<char>((bits >> shift) & 0xFF);
    for (std::size_t at = 0; at < tail.size(); at += 64)
        compress(state, reinterpret_cast<const unsigned char*>(tail.data() + at));
    std::array<std::uint8_t, 20> digest{};
    for (std::size_t i = 0; i < 20; ++i)
        digest[i] = static_cast<std::uint8_t>(state[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}
