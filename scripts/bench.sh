#!/bin/sh
# bench.sh: runs every benchmark. Each prints the medians of the wizard and of its floor,
# measured in the same run, and their ratio: on a busy machine a ratio holds where an absolute
# time does not.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/bench-env.sh"
echo "Flavour: $WIZARD_FLAVOUR_REASON: measuring $WIZARD_FLAVOUR_BUILD."
echo

echo "== Start-up: setup.exe to its visible welcome page (aim: within 1.2x)"
"$top/scripts/bench-startup.sh" "${BENCH_RUNS:-10}" | awk '
    { print }
    /median/ { for (i = 1; i < NF; ++i) if ($i == "median") m[++n] = $(i + 1) }
    END {
        if (n != 2 || m[2] <= 0) { print "bench.sh: no start-up ratio" > "/dev/stderr"; exit 1 }
        printf "ratio setup.exe / message box:     %8.2f\n", m[1] / m[2]
    }'
echo
echo "== Install: from Finish to the printer created (aim: within 1.5x)"
"$top/scripts/bench-finish.sh" install "${BENCH_RUNS:-15}"
echo
echo "== Copy task: from Finish to the destination opened (aim: within 1.3x)"
"$top/scripts/bench-finish.sh" copy "${BENCH_RUNS:-15}"
echo
echo "== Directory tree: opening 5,000 subdirectories (aim: within 2x)"
"$top/scripts/bench-tree.sh" "${BENCH_TREE_RUNS:-5}"
echo
echo "== Waiting for a slow spooler (aim: CPU time under 2% of the wait)"
bench_wine 120 "$bench/spooler_wait_bench.exe" 20
echo
echo "== Port list: 1,000 ports of the monitor (aim: within 2x)"
bench_wine 600 "$bench/port_list_bench.exe" "$package" 5 1000
