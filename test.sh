#!/usr/bin/env bash
# Sets up whatever is missing, builds everything and runs every test: the
# native unit tests (plain and with sanitizers) and the Windows tests under
# Wine. Ends with one summary line; exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")"
. tools/setup.sh
zib_setup || exit 1

. tools/test-trees.sh

echo "== native build"
test_tree build/native zib_configure -DCMAKE_BUILD_TYPE=Debug

echo "== native build with AddressSanitizer and UndefinedBehaviorSanitizer"
test_tree build/sanitize zib_configure -DCMAKE_BUILD_TYPE=Debug -DZIB_SANITIZE=ON

echo "== fuzzing the load path and the table import (clang, libFuzzer, sanitizers)"
test_tree build/fuzz zib_configure -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIB_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

echo "== Windows build, tests under Wine"
test_tree build/windows zib_configure_windows

echo "== release artifact"
(cd build/windows && cpack -G ZIP -B package >/dev/null && ls package/*.zip) || broken+=("release zip")

summarize
