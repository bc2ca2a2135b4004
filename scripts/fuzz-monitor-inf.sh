#!/bin/sh
# fuzz-monitor-inf.sh [SECONDS]: fuzzes the monitor INF's text rules with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, natively, for a bounded time (default 600 s).
# A crash, a read or write out of bounds or a broken field stops it with the failing input
# saved in build/fuzz.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}

missing=""
for p in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
fi

out="$top/build/fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$top" \
    "$top/tests/fuzz/MonitorInfFuzz.cpp" "$top/monitor/MonitorInfText.cpp" -o "$out/monitor_inf_fuzz"
cp "$top"/tests/fuzz/corpus/* "$out/corpus/"
cd "$out"
./monitor_inf_fuzz -max_total_time="$seconds" -max_len=30000 -dict="$top/tests/fuzz/monitor_inf.dict" \
    -print_final_stats=1 corpus
