# Sourced by the benchmark scripts (after setting top): builds everything (once for all the
# benchmarks of one run), then gives the benchmark a Wine prefix of its own, a copy of the
# tests' one, removed when the script ends. The benchmarks measure the build this machine runs
# (flavour.sh): bench is its directory.
[ -n "${BENCH_BUILT:-}" ] || "$top/scripts/build.sh" >/dev/null
export BENCH_BUILT=1
. "$top/scripts/wine-env.sh"
bench="$top/$WIZARD_RUN_BUILD"

export WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/bench-prefix.XXXXXX")
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
cp -a "$bench/wineprefix/." "$WINEPREFIX/"
package="Z:$(echo "$bench/package" | tr / '\\')"

# bench_wine SECONDS PROGRAM [ARGS...]: runs the Windows program on a virtual display of its
# own, within the time limit, and ends Wine there before the display goes (else Wine's
# processes report the lost display).
bench_wine() {
    limit=$1
    shift
    timeout "$limit" xvfb-run -a -s "-screen 0 1024x768x24" \
        sh -c 'wine "$@"; rc=$?; wineserver -k 2>/dev/null; exit $rc' sh "$@"
}
