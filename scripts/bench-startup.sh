#!/bin/sh
# bench-startup.sh [RUNS]: time from starting setup.exe to its visible welcome page, next
# to the time Wine takes to start a program that only shows a message box.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/bench-env.sh"

bench_wine 300 "$bench/startup_bench.exe" "$package" "${1:-10}"
