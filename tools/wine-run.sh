#!/usr/bin/env bash
# wine-run.sh DIR PROGRAM [ARGS...]: runs a Windows program of the build in
# the Wine session of DIR (see wine-session.sh). Used as ctest's emulator.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
shift
. "$here/wine-env.sh"
zib_wine_env "$dir"
[ -f "$dir/display" ] && export DISPLAY="$(cat "$dir/display")"
[ -t 1 ] && exec wine "$@"

# A process that Wine starts on the program's behalf (a service, the
# desktop) may outlive it and hold its output open, and whoever reads that
# output through a pipe (ctest, a test's subprocess) waits for every holder.
# So the output goes through files, followed as it grows (a test that ctest
# stops still shows what it printed), and the program's end is its own.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" <&0 >"$out" 2>"$err" &
program=$!
tail -s 0.1 -n +1 -f --pid="$program" "$out" &
tail -s 0.1 -n +1 -f --pid="$program" "$err" >&2 &
status=0
wait "$program" || status=$?
# The two followers end once the program has and its output is out.
wait
exit "$status"
