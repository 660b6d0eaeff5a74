#pragma once

// Deepest element nesting that is read or written; the document element is
// level 1. Deeper documents are refused, so no recursion over a tree can run
// the stack out.
constexpr int kMaxElementDepth = 256;
