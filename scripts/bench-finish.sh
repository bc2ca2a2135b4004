#!/bin/sh
# bench-finish.sh install|copy [RUNS]: time from Finish to the end of the task (the printer
# created, or the package copied and its destination handed to the shell), next to a bare
# program making the same calls, in one run; prints both medians and their ratio. It runs
# from a copy of the package in its own prefix, as the wizard reads its INF from its own
# directory.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/bench-env.sh"

cp -a "$bench/package" "$WINEPREFIX/drive_c/benchpackage"
cp "$bench/finish_bench.exe" "$WINEPREFIX/drive_c/benchpackage/"
bench_wine 300 'C:\benchpackage\finish_bench.exe' "$1" "${2:-15}"
