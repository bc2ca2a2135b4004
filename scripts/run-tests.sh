#!/bin/sh
# Builds everything and runs every test under Wine on a virtual display, with the build this
# machine runs (flavour.sh), and ends with a line that names it and says why.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
. "$top/scripts/wine-env.sh"

status=0
cd "$top/$WIZARD_RUN_BUILD"
xvfb-run -a -s "-screen 0 1024x768x24" ctest -j2 --output-on-failure "$@" || status=$?
# A keyboard wait that had to activate a page of setup.exe itself warns in its test's output,
# which ctest shows only for failed tests; its log holds every test's: name those tests here.
awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
     /the desktop held the keyboard after a window/ { print "run-tests.sh: in " name ", a keyboard wait activated a page itself (ctest -V -R " name " shows it)" }' \
    Testing/Temporary/LastTest.log 2>/dev/null | sort -u
WINEPREFIX="$top/$WIZARD_RUN_BUILD/wineprefix" wineserver -k 2>/dev/null || true
if [ "$WIZARD_FLAVOUR" = i686 ]; then
    echo "Flavour: $WIZARD_FLAVOUR_REASON: the tests ran $WIZARD_FLAVOUR_BUILD."
else
    echo "Flavour: $WIZARD_FLAVOUR_REASON: the tests ran $WIZARD_FLAVOUR_BUILD ($WIZARD_RUN_BUILD/), and read the product, build/package/setup.exe (PE32), without running it."
fi
exit $status
