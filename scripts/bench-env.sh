# Sourced by the benchmark scripts (after setting top): builds everything, then gives the
# benchmark a Wine prefix of its own, a copy of the tests' one, removed when the script ends.
"$top/scripts/build.sh" >/dev/null
. "$top/scripts/wine-env.sh"

export WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/bench-prefix.XXXXXX")
trap 'wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
cp -a "$top/build/wineprefix/." "$WINEPREFIX/"
package="Z:$(echo "$top/build/package" | tr / '\\')"
