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

template=${WINETEST_PREFIX:?WINETEST_PREFIX is not set}
prefix=$template
if [ "${WINETEST_OWN_PREFIX:-0}" = 1 ]; then
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/winetest.XXXXXX")
    cp -a "$template/." "$prefix/"
    trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
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
    ! wine reg add 'HKCU\Software\Wine' /v Version /d "$WINETEST_WINVER" /f >/dev/null 2>&1; then
    echo "wine-test.sh: the prefix cannot be made to report $WINETEST_WINVER" >&2
    exit 2
fi

out=$(mktemp "${TMPDIR:-/tmp}/winetest-out.XXXXXX")
if [ "${WINETEST_OWN_DISPLAY:-0}" = 1 ]; then
    timeout -k 5 "${WINETEST_TIMEOUT:-300}" xvfb-run -a -s "-screen 0 1024x768x24" wine "$@" >"$out"
else
    timeout -k 5 "${WINETEST_TIMEOUT:-300}" wine "$@" >"$out"
fi
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
