#!/bin/sh
# Builds setup.exe and starts it in the sample package under Wine, reporting Windows XP.
# Without a display it runs on a virtual one, saves a screenshot of what the wizard shows
# to build/wizard.png and closes it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" >/dev/null
. "$top/scripts/wine-env.sh"

export WINEPREFIX="$top/build/wineprefix-run"
if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    cp -a "$top/build/wineprefix" "$WINEPREFIX"
fi
cd "$top/build/package"

if [ -n "${DISPLAY:-}" ]; then
    exec wine setup.exe
fi

echo "No display: running the wizard on a virtual one."
shot="$top/build/wizard.png"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wine setup.exe &
    timeout 30 xdotool search --sync --onlyvisible --name "^ZUV Izov Printer Driver Wizard$" >/dev/null ||
        echo "The wizard showed no page within 30 seconds." >&2
    sleep 1
    import -display "$DISPLAY" -window root "$1"
    wineserver -k
' sh "$shot"
echo "Screenshot of the wizard: $shot"
