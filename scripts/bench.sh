#!/bin/sh
# bench.sh: runs every benchmark BENCH_ROUNDS times (3 unless told), then prints, for each, the
# medians over the rounds of the wizard's time, of its floor's and of their ratio, next to its
# aim. A floor is measured in the same run as the wizard: on a busy machine a ratio holds where
# an absolute time does not. In the first round the directory tree and the port list are also
# measured at a smaller and a larger size than their aims' (BENCH_SIZES=0 leaves those out):
# their ratios must stay flat as the work grows.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/bench-env.sh"
rounds=${BENCH_ROUNDS:-3}
results=$(mktemp "${TMPDIR:-/tmp}/bench-results.XXXXXX")
output=$(mktemp "${TMPDIR:-/tmp}/bench-output.XXXXXX")
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$results" "$output"' EXIT
echo "Flavour: $WIZARD_FLAVOUR_REASON: measuring $WIZARD_FLAVOUR_BUILD."

# measure NAME AIM COMMAND...: runs one benchmark and shows what it printed; keeps its first two
# medians (the wizard's and its floor's), or for the spooler's wait the CPU time and the wait.
measure() {
    name=$1
    aim=$2
    shift 2
    "$@" >"$output" 2>&1 || { cat "$output"; echo "bench.sh: $name failed" >&2; exit 1; }
    grep -v "FS volume label" "$output" || true
    echo
    awk -v name="$name" -v aim="$aim" '
        { for (i = 1; i < NF; ++i) if ($i == "median") m[++n] = $(i + 1) }
        /the wait \(wall time\)/ { m[2] = $(NF - 1); n = n < 2 ? 2 : n }
        /the wizard.s CPU time/ { m[1] = $(NF - 1); n = n < 2 ? 2 : n }
        END {
            if (n < 2 || m[2] <= 0) { print "bench.sh: no figures from " name > "/dev/stderr"; exit 1 }
            printf "%s\t%s\t%s\t%s\n", name, aim, m[1], m[2]
        }' "$output" >>"$results"
}

round=1
while [ "$round" -le "$rounds" ]; do
    echo
    echo "======== Round $round of $rounds"
    measure "start-up" 1.1 "$top/scripts/bench-startup.sh" "${BENCH_RUNS:-10}"
    measure "install" 1.3 "$top/scripts/bench-finish.sh" install "${BENCH_RUNS:-15}"
    measure "copy" 1.1 "$top/scripts/bench-finish.sh" copy "${BENCH_RUNS:-15}"
    measure "tree, 5,000" 1.5 "$top/scripts/bench-tree.sh" 5 5000
    measure "port list, 1,000" 1.5 "$top/scripts/bench-ports.sh" 5 1000
    measure "spooler wait, CPU" 0.02 bench_wine 120 "$bench/spooler_wait_bench.exe" 20
    # The sizes once, in the first round: whether a ratio grows with the work.
    if [ "$round" = 1 ] && [ "${BENCH_SIZES:-1}" != 0 ]; then
        measure "tree, 1,000" - "$top/scripts/bench-tree.sh" 5 1000
        measure "tree, 20,000" - "$top/scripts/bench-tree.sh" 2 20000
        measure "port list, 100" - "$top/scripts/bench-ports.sh" 5 100
        measure "port list, 5,000" - "$top/scripts/bench-ports.sh" 2 5000
    fi
    round=$((round + 1))
done

echo
echo "======== Medians of $rounds rounds: $WIZARD_FLAVOUR_BUILD ($WIZARD_FLAVOUR), $(date -u +%Y-%m-%d)"
awk -F '\t' '
    function median(list,    v, k, i, j, t) {
        k = split(list, v, " ")
        for (i = 2; i <= k; ++i) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return v[int((k + 1) / 2)]
    }
    !($1 in aim) { order[++n] = $1; aim[$1] = $2 }
    { wizard[$1] = wizard[$1] " " $3; floor[$1] = floor[$1] " " $4; ratio[$1] = ratio[$1] " " $3 / $4 }
    END {
        printf "%-20s %12s %12s %8s %6s\n", "benchmark", "wizard (ms)", "floor (ms)", "ratio", "aim"
        for (i = 1; i <= n; ++i) {
            name = order[i]
            r = median(ratio[name])
            verdict = aim[name] == "-" ? "" : (r <= aim[name] ? "met" : "NOT MET")
            printf "%-20s %12.1f %12.1f %8.3f %6s %s\n", name, median(wizard[name]), median(floor[name]), r, aim[name], verdict
        }
    }' "$results"
echo "(start-up: a bare message box as the floor; install: the same calls made bare; copy: a bare"
echo " SHFileOperationA; tree: bare listings; port list: bare EnumPortsA and insertion; spooler"
echo " wait: the wizard's CPU time against the wait. Sizes without an aim must stay flat.)"
