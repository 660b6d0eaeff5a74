#!/usr/bin/env bash
# wine-session.sh start|stop DIR
# Starts (or stops) the virtual display and the Wine server that the Windows
# tests of one build share. DIR holds the prefix, the display number and pids.
set -eu
action=$1
dir=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
zib_wine_env "$dir"
mkdir -p "$dir"

free_display() {
    local n
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

start() {
    stop_quietly
    local n
    n=$(free_display)
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.05
    done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start on :$n" >&2; exit 1; }
    echo ":$n" >"$dir/display"
    export DISPLAY=":$n"
    zib_wine_test_prefix
    # A persistent server saves every test process the server's start-up.
    wineserver -p >/dev/null 2>&1 </dev/null
    # Wine's background services outlive the process that starts them and
    # keep its output open: start them here, away from ctest's pipes.
    wineboot >/dev/null 2>&1 </dev/null
    echo "Wine session on display :$n, prefix $WINEPREFIX"
}

stop_quietly() {
    # -k only asks the server to go; a new one cannot start until it has.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid" "$dir/display"
    fi
}

case $action in
start) start ;;
stop) stop_quietly; echo "Wine session stopped" ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
