# Sourced by test.sh: builds and tests one build tree at a time and keeps
# the totals. A tree that does not configure or build is a failure of its
# own, named at the end, so that a run can never end "0 failed" without
# having run a tree's tests.

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

# test_tree DIR CONFIGURE [ARGS...]: CONFIGURE (a command given DIR and
# ARGS) configures the tree, then it is built and its tests run.
test_tree() {
    local dir=$1 configure=$2
    shift 2
    if ! "$configure" "$dir" "$@"; then
        broken+=("$dir: configure failed")
        return 1
    fi
    if ! cmake --build "$dir"; then
        broken+=("$dir: build failed")
        return 1
    fi
    run_ctest "$dir"
}

# The closing line; the status is non-zero when anything failed or broke.
summarize() {
    local problem
    for problem in "${broken[@]}"; do echo "FAILED: $problem"; done
    [ ${#broken[@]} -eq 0 ] || failed=$((failed + ${#broken[@]}))
    echo "All builds: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
