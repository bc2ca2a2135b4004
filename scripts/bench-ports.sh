#!/bin/sh
# bench-ports.sh [RUNS] [PORTS]: time the printer page takes to list the package monitor's
# ports (1,000 unless told), next to a bare EnumPortsA and the same list-view insertion, in one
# run and a prefix of its own; prints both medians and their ratio.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/bench-env.sh"

bench_wine 600 "$bench/port_list_bench.exe" "$package" "${1:-5}" "${2:-1000}"
