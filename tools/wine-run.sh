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
# So the output goes through files, and the program's end is its own.
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" <&0 >"$out" 2>"$err" &
program=$!
on_term() {
    cat "$out"
    cat "$err" >&2
    echo "wine-run.sh: stopped while $1 still ran; Wine's processes:" >&2
    ps -eo pid,ppid,etime,args | grep -E '\.exe|wineserver' | grep -v grep >&2 || true
    kill "$program" 2>/dev/null || true
    exit 143
}
trap 'on_term "$1"' TERM INT
status=0
wait "$program" || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
