#!/bin/sh
# screenshot-destination.sh [FILE]: runs setup.exe of the sample package on a virtual display,
# takes the copy task, creates a directory on the destination page (which selects it in the
# tree), puts the focus on the tree and saves a picture of the page (docs/destination.png
# unless told otherwise).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
shot=$(realpath -m "${1:-$top/docs/destination.png}")
"$top/scripts/build.sh" >/dev/null
. "$top/scripts/wine-env.sh"

export WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/shot-prefix.XXXXXX")
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
cp -a "$top/build/wineprefix/." "$WINEPREFIX/"
cp -a "$top/build/package" "$WINEPREFIX/drive_c/package"
mkdir -p "$WINEPREFIX/drive_c/Drivers/Printers" "$WINEPREFIX/drive_c/Drivers/Scanners"

cd "$WINEPREFIX/drive_c/package"
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    set -eu
    title="^ZUV Izov Printer Driver Wizard$"
    wine setup.exe >/dev/null 2>&1 &
    page=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    sleep 1
    xdotool key alt+c Return
    sleep 2
    page=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    xdotool key alt+i ctrl+a
    xdotool type "C:\\Drivers\\ZUV Izov"
    xdotool key alt+c
    sleep 1
    xdotool key shift+Tab shift+Tab
    sleep 2
    import -display "$DISPLAY" -window "$page" "$1"
    wineserver -k
' sh "$shot"
echo "Screenshot of the destination page: $shot"
