#!/bin/sh
# make-prefix.sh DIR: makes a Wine prefix of the flavour this machine runs (32-bit, or 64-bit:
# see wine-env.sh) that reports Windows XP, shows windows without a window manager's delays,
# lets a crashing program end at once instead of waiting in the debugger, has the system fonts
# a Windows installation has, and has no running processes left behind.
set -eu
dir=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

# Debian's Wine does not find the fonts of its own data directory (Marlett, which draws the
# caption buttons, and the MS Sans Serif of the dialogs), so they go where Windows keeps its
# fonts, which Wine reads.
install_fonts() {
    mkdir -p "$dir/drive_c/windows/Fonts"
    for font in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
        [ -f "$font" ] && cp -p "$font" "$dir/drive_c/windows/Fonts/"
    done
    return 0
}

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
install_fonts
touch "$dir/.ready"
