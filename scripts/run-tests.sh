#!/bin/sh
# Builds everything and runs every test under Wine on a virtual display.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
. "$top/scripts/wine-env.sh"

status=0
cd "$top/build"
xvfb-run -a -s "-screen 0 1024x768x24" ctest -j2 --output-on-failure "$@" || status=$?
WINEPREFIX="$top/build/wineprefix" wineserver -k 2>/dev/null || true
exit $status
