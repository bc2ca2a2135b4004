#!/bin/sh
# wine-test.sh PROGRAM [ARGS...]: runs one Windows test program under Wine for ctest.
#   WINETEST_PREFIX     the ready prefix that the build made (required)
#   WINETEST_OWN_PREFIX 1: run in a fresh copy of it, removed afterwards
#   WINETEST_WINVER     Windows version the prefix reports (winxp, win2k, nt40, ...);
#                       needs WINETEST_OWN_PREFIX
#   WINETEST_OWN_DISPLAY 1: run on a virtual display of its own, so that no other test's
#                       windows cover this one's
#   WINETEST_TIMEOUT    seconds before the run is killed (default 300)
#   WINETEST_MAY_RUN_NONE 1: a run that executes no test case passes (otherwise it fails)
#   WINETEST_DRIVES     extra drives of the own prefix, such as "x:folder=LABEL u:none": each
#                       letter names a new empty folder of the prefix (with that volume label),
#                       or nothing (a drive not ready)
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

own_prefix=
xvfb=
cleanup() {
    if [ -n "$own_prefix" ]; then
        WINEPREFIX="$own_prefix" wineserver -k 2>/dev/null
        rm -rf "$own_prefix"
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null
        wait "$xvfb" 2>/dev/null
    fi
}
trap cleanup EXIT

template=${WINETEST_PREFIX:?WINETEST_PREFIX is not set}
prefix=$template
if [ "${WINETEST_OWN_PREFIX:-0}" = 1 ]; then
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/winetest.XXXXXX")
    own_prefix=$prefix
    cp -a "$template/." "$prefix/"
elif [ -n "${WINETEST_WINVER:-}" ]; then
    echo "wine-test.sh: WINETEST_WINVER needs WINETEST_OWN_PREFIX=1" >&2
    exit 2
fi
if [ -n "${WINETEST_DRIVES:-}" ] && [ "$prefix" = "$template" ]; then
    echo "wine-test.sh: WINETEST_DRIVES needs WINETEST_OWN_PREFIX=1" >&2
    exit 2
fi
export WINEPREFIX="$prefix"

for drive in ${WINETEST_DRIVES:-}; do
    letter=${drive%%:*}
    target=${drive#*:}
    if [ "$target" = none ]; then
        ln -sfn "$prefix/no-such-folder" "$prefix/dosdevices/$letter:"
    else
        mkdir -p "$prefix/drive_$letter"
        ln -sfn "../drive_$letter" "$prefix/dosdevices/$letter:"
        case $target in *=*) echo "${target#*=}" >"$prefix/drive_$letter/.windows-label" ;; esac
    fi
done

if [ -n "${WINETEST_WINVER:-}" ] &&
    ! said=$(wine reg add 'HKCU\Software\Wine' /v Version /d "$WINETEST_WINVER" /f 2>&1); then
    echo "wine-test.sh: the prefix cannot be made to report $WINETEST_WINVER: $said" >&2
    exit 2
fi

# A display of its own: the server takes the first free number itself and tells it once it
# takes connections. (xvfb-run -a chooses the number before any server holds it, and two runs
# started together have ended up on one display, which the first to end closes under the other.)
if [ "${WINETEST_OWN_DISPLAY:-0}" = 1 ]; then
    number=$(mktemp "${TMPDIR:-/tmp}/winetest-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    xvfb=$!
    waited=0
    while ! grep -q . "$number" && [ $waited -lt 300 ] && kill -0 "$xvfb" 2>/dev/null; do
        sleep 0.1
        waited=$((waited + 1))
    done
    display=$(cat "$number")
    rm -f "$number"
    if [ -z "$display" ]; then
        echo "wine-test.sh: the virtual display did not start" >&2
        exit 2
    fi
    export DISPLAY=":$display"
fi

out=$(mktemp "${TMPDIR:-/tmp}/winetest-out.XXXXXX")
timeout -k 5 "${WINETEST_TIMEOUT:-300}" wine "$@" >"$out"
rc=$?
cat "$out"
# Code under test that ends the process itself (ExitProcess) would end the run with 0 and
# no summary, as if every test after it had passed.
if [ $rc = 0 ] && ! grep -q '^\[doctest\] test cases:' "$out"; then
    echo "wine-test.sh: the test program ended before its tests did" >&2
    rc=1
fi
# A filter that selects no test case (a renamed case) would pass having tested nothing.
if [ $rc = 0 ] && [ "${WINETEST_MAY_RUN_NONE:-0}" != 1 ] &&
    grep -Eq '^\[doctest\] test cases: +0 \|' "$out"; then
    echo "wine-test.sh: the run executed no test case" >&2
    rc=1
fi
rm -f "$out"
exit $rc
