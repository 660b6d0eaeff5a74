#!/usr/bin/env bash
# screenshot.sh OUT.png: starts the editor on a virtual display and saves a
# picture of its window (the black root around it is trimmed away).
set -eu
cd "$(dirname "$0")/.."
out=$1
dir="$PWD/build/windows/screenshot"
tools/wine-session.sh start "$dir" >/dev/null
tools/wine-run.sh "$dir" build/windows/ui/ZIB.exe >/dev/null 2>&1 </dev/null &
sleep 4
DISPLAY=$(cat "$dir/display") import -window root "$out.full.png"
convert "$out.full.png" -trim +repage "$out"
rm -f "$out.full.png"
kill %1 2>/dev/null || true
tools/wine-session.sh stop "$dir" >/dev/null
echo "saved $out"
