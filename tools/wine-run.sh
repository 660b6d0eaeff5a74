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
exec wine "$@"
