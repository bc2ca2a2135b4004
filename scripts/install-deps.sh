#!/bin/sh
# Installs the Debian packages that the build and the tests need (idempotent), for the kind of
# machine this is (flavour.sh): 32-bit Wine only where the kernel runs 32-bit programs. Both
# mingw-w64 compilers always: both flavours are built everywhere.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/flavour.sh"

packages="cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 xvfb xauth x11-utils doctest-dev xdotool imagemagick locales"
[ "$WIZARD_FLAVOUR" = i686 ] && packages="$packages wine wine32:i386"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ -n "$missing" ]; then
    echo "Installing ($WIZARD_FLAVOUR_REASON):$missing"
    case $missing in *:i386*) $SUDO dpkg --add-architecture i386 ;; esac
    # A mirror in the middle of a sync refuses some of its indexes for a while: try again, a bounded
    # number of times. Where one is still refused (seen here: the security suite's i386 index), apt
    # keeps the others; the packages then come from the release's own suite, whose i386 and amd64
    # versions agree, rather than half from the security suite that only one architecture was read of.
    target=""
    tries=0
    until $SUDO apt-get update -qq; do
        tries=$((tries + 1))
        if [ "$tries" -ge 3 ]; then
            codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
            echo "install-deps.sh: some package indexes could not be read; installing from ${codename:-the suites read}" >&2
            [ -n "$codename" ] && target="-t $codename"
            break
        fi
        echo "install-deps.sh: some package indexes could not be read; trying again in 20 s" >&2
        sleep 20
    done
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $target $missing >/dev/null
fi

# Wine takes the Windows code page from LANG, but converts command lines and Unix file names with
# the Unix locale: without it, the text a test types arrives with its high bits cut. The locales
# of the tests in double-byte code pages are made here.
for locale in ja_JP zh_CN zh_TW ko_KR; do
    locale -a | grep -qix "$locale.utf8" || $SUDO localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done
