#!/bin/sh
# Installs the Debian packages that the build and the tests need (idempotent).
set -eu

packages="cmake ninja-build g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth x11-utils doctest-dev xdotool imagemagick"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing:$missing"
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
