#!/bin/sh
# Installs the Debian packages that the build and the tests need (idempotent), for the kind of
# machine this is (flavour.sh): 32-bit Wine only where the kernel runs 32-bit programs. Both
# mingw-w64 compilers always: both flavours are built everywhere.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/flavour.sh"

packages="cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb xauth x11-utils doctest-dev xdotool imagemagick"
[ "$WIZARD_FLAVOUR" = i686 ] && packages="$packages wine wine32:i386"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing ($WIZARD_FLAVOUR_REASON):$missing"
case $missing in *:i386*) $SUDO dpkg --add-architecture i386 ;; esac
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
