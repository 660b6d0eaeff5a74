#!/usr/bin/env bash
# Sets up whatever is missing, builds everything and runs every test: the
# native unit tests (plain and with sanitizers) and the Windows tests under
# Wine. Ends with one summary line; exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")"
. tools/setup.sh
zib_setup || exit 1

passed=0
failed=0
broken=()

# Runs one build tree's tests and adds its counts to the totals.
run_ctest() {
    local dir=$1 log
    log=$(mktemp)
    ctest --test-dir "$dir" --output-on-failure -j2 --timeout 600 2>&1 | tee "$log"
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        broken+=("$dir: no test summary")
    else
        local total bad
        bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    fi
    rm -f "$log"
}

build() {
    local dir=$1
    shift
    if ! cmake --build "$dir"; then
        broken+=("$dir: build failed")
        return 1
    fi
}

echo "== native build"
zib_configure build/native -DCMAKE_BUILD_TYPE=Debug && build build/native && run_ctest build/native

echo "== native build with AddressSanitizer and UndefinedBehaviorSanitizer"
zib_configure build/sanitize -DCMAKE_BUILD_TYPE=Debug -DZIB_SANITIZE=ON &&
    build build/sanitize && run_ctest build/sanitize

echo "== fuzzing the load path and the table import (clang, libFuzzer, sanitizers)"
zib_configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIB_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ && build build/fuzz && run_ctest build/fuzz

echo "== Windows build, tests under Wine"
zib_build_windows && run_ctest build/windows || broken+=("build/windows: build failed")

echo "== release artifact"
(cd build/windows && cpack -G ZIP -B package >/dev/null && ls package/*.zip) || broken+=("release zip")

for problem in "${broken[@]}"; do echo "FAILED: $problem"; done
[ ${#broken[@]} -eq 0 ] || failed=$((failed + 1))
echo "All builds: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
