#!/bin/sh
# bench-startup.sh [RUNS]: time from starting setup.exe to its visible welcome page, next
# to the time Wine takes to start a program that only shows a message box.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" >/dev/null
. "$top/scripts/wine-env.sh"

export WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/bench-prefix.XXXXXX")
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
cp -a "$top/build/wineprefix/." "$WINEPREFIX/"

package="Z:$(echo "$top/build/package" | tr / '\\')"
xvfb-run -a -s "-screen 0 1024x768x24" wine "$top/build/startup_bench.exe" "$package" "${1:-10}" 2>/dev/null
