#!/bin/sh
# Builds setup.exe and starts it in the sample package under Wine, reporting Windows XP. Where
# this machine cannot run 32-bit programs (flavour.sh) it shows the x86_64 build of the same
# sources under 64-bit Wine, and says so. Without a display it runs on a virtual one, saves a
# screenshot of what the wizard shows to build/wizard.png and closes it; it fails when no page
# of the wizard appears.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" sample_package wineprefix >/dev/null
. "$top/scripts/wine-env.sh"

build="$top/$WIZARD_RUN_BUILD"
if [ "$WIZARD_FLAVOUR" = x86_64 ]; then
    echo "Showing $WIZARD_RUN_BUILD/package/setup.exe, $WIZARD_FLAVOUR_BUILD: $WIZARD_FLAVOUR_REASON." \
        "The product is build/package/setup.exe (PE32)."
fi
export WINEPREFIX="$build/wineprefix-run"
if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    cp -a "$build/wineprefix" "$WINEPREFIX"
fi
cd "$build/package"

if [ -n "${DISPLAY:-}" ]; then
    exec wine setup.exe
fi

echo "No display: running the wizard on a virtual one."
shot="$top/build/wizard.png"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wine setup.exe &
    if ! timeout 30 xdotool search --sync --onlyvisible --name "^ZUV Izov Printer Driver Wizard$" >/dev/null; then
        echo "The wizard showed no page within 30 seconds." >&2
        wineserver -k
        exit 1
    fi
    sleep 1
    import -display "$DISPLAY" -window root "$1"
    wineserver -k
' sh "$shot"
echo "Screenshot of the wizard: $shot"
