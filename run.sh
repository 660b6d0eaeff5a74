#!/usr/bin/env bash
# Sets up whatever is missing, builds the Windows program and starts it
# under Wine on the user's display.
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh
. tools/wine-env.sh

if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no display (DISPLAY is not set); start the editor from a graphical session," >&2
    echo "        or give it a virtual one: xvfb-run -a ./run.sh" >&2
    exit 1
fi

zib_setup
zib_build_windows --target ZIB
zib_wine_env "$PWD/build/windows/wine-user"
zib_wine_prefix
exec wine build/windows/ui/ZIB.exe
