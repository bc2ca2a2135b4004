#!/bin/sh
# make-prefix.sh DIR: makes a 32-bit Wine prefix that reports Windows XP, shows windows
# without a window manager's delays, lets a crashing program end at once instead of
# waiting in the debugger, and has no running processes left behind.
set -eu
dir=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

[ -f "$dir/.ready" ] && exit 0
rm -rf "$dir"
mkdir -p "$(dirname "$dir")"
export WINEPREFIX="$dir"

run() {
    if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a "$@"; fi
}

run sh -c '
    wineboot -i
    wine reg add "HKCU\\Software\\Wine" /v Version /d winxp /f
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
    wine reg add "HKCR\\.txt" /ve /d txtfile /f
    wine reg delete "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /f
    wineserver -w
' >/dev/null 2>&1
touch "$dir/.ready"
