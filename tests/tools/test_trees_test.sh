#!/usr/bin/env bash
# test.sh's totals: a tree that does not configure, or does not build, is a
# failure of its own and is named; only a run with none ends "0 failed".
set -u
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# expect NAME WANTED-STATUS STATUS OUTPUT WANTED-LINE...
expect() {
    local name=$1 wanted=$2 got=$3 output=$4
    shift 4
    [ "$got" -eq "$wanted" ] || { echo "$name: status $got, expected $wanted"; status=1; }
    local text
    for text in "$@"; do
        grep -qxF -- "$text" <<<"$output" || { echo "$name: no line \"$text\" in:"; echo "$output"; status=1; }
    done
}

never_configures() { return 1; }
configures_nothing() { mkdir -p "$1"; }
# A tree with one passing test.
configures_one_test() {
    mkdir -p "$1/src"
    printf 'cmake_minimum_required(VERSION 3.25)\nproject(T NONE)\nenable_testing()\nadd_test(NAME ok COMMAND true)\n' \
        >"$1/src/CMakeLists.txt"
    cmake -S "$1/src" -B "$1" >/dev/null
}

run() ( . "$top/tools/test-trees.sh"; "$@"; summarize )

output=$(run test_tree "$work/a" never_configures 2>&1); got=$?
expect "unconfigured tree" 1 $got "$output" "FAILED: $work/a: configure failed" "All builds: 0 passed, 1 failed"

output=$(run test_tree "$work/b" configures_nothing 2>&1); got=$?
expect "unbuilt tree" 1 $got "$output" "FAILED: $work/b: build failed" "All builds: 0 passed, 1 failed"

two_trees() { test_tree "$work/c" configures_one_test; test_tree "$work/d" never_configures; }
output=$(run two_trees 2>&1); got=$?
expect "one of two trees" 1 $got "$output" "FAILED: $work/d: configure failed" "All builds: 1 passed, 1 failed"

output=$(run test_tree "$work/e" configures_one_test 2>&1); got=$?
expect "a good tree" 0 $got "$output" "All builds: 1 passed, 0 failed"

exit $status
