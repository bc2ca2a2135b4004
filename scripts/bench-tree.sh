#!/bin/sh
# bench-tree.sh [RUNS] [SUBDIRECTORIES]: time the destination page's tree takes to open a
# directory of 5000 subdirectories (each with one of its own), next to the same listings made
# bare with FindFirstFile/FindNextFile, in one run; prints both medians and their ratio.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/bench-env.sh"

bench_wine 600 "$bench/tree_bench.exe" "${1:-5}" "${2:-5000}"
