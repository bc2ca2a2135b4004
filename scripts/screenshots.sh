#!/bin/sh
# Takes the README's pictures of the wizard's pages from a real run of setup.exe on a virtual
# display, in a Wine prefix of its own, and writes them to docs/ as PNG files. It pictures the
# build this machine runs (flavour.sh), and says which.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh" >/dev/null
. "$top/scripts/wine-env.sh"
build="$top/$WIZARD_RUN_BUILD"
echo "Flavour: $WIZARD_FLAVOUR_REASON: picturing $WIZARD_FLAVOUR_BUILD."

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
cd "$build/tests"
shoot() {
    WINETEST_PREFIX="$build/wineprefix" WINETEST_OWN_PREFIX=1 WINETEST_OWN_DISPLAY=1 \
        WIZARD_PACKAGE_DIR="$build/package" WIZARD_SETUP_EXE="$build/setup.exe" SCREENSHOT_DIR="$shots" \
        "$top/scripts/wine-test.sh" screenshots.exe "$@" >/dev/null
}
shoot "--test-case=screenshots:*"
# The Arabic user locale shows the right-to-left pages.
LANG=ar_SA.UTF-8 LC_ALL=ar_SA.UTF-8 shoot "--test-case=screenshots right*"
for shot in "$shots"/*.bmp; do
    name=$(basename "$shot" .bmp)
    convert "$shot" "$top/docs/$name.png"
    echo "docs/$name.png"
done
