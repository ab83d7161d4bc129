#!/usr/bin/env bash
# The audio mixer: CPU per second of audio (target under 1 % of one core).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/bench
mkdir -p "$out"
g++ -std=c++17 -O2 -I"$root/tessivo" "$root/bench/tessivo/mixer_bench.cpp" "$root/tessivo/mixer.cpp" \
    -lbenchmark -lpthread -o "$out/mixer_bench"
"$out/mixer_bench"
