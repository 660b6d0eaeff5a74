#pragma once

#include <cstddef>

// Deepest element nesting that is read or written; the document element is
// level 1. Deeper documents are refused, so no recursion over a tree can run
// the stack out.
constexpr int kMaxElementDepth = 256;

// Longest text, comment or processing instruction that is read, in bytes of
// UTF-8. libxml2 refuses longer ones; the Windows reader does too, so that
// a file gives the same answer on both platforms.
constexpr std::size_t kMaxTextBytes = 10000000;

// Most attributes one element may carry. Quiz files carry none; a parser's
// time grows with the square of an element's attributes.
constexpr std::size_t kMaxAttributesPerElement = 64;
