#!/usr/bin/env bash
# Builds and runs the benchmarks natively at -O2 (Google Benchmark from Debian).
# The toolkit links with the unit tests' fake platform: no window is needed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$root/build/bench
mkdir -p "$out"
g++ -std=c++17 -O2 -DNDEBUG -Wall -Wextra -Werror \
    -I"$root/install" -I"$root/install/gui" -I"$root/tests/unit" \
    "$root/bench/gui/guiblend_bench.cpp" "$root"/install/gui/*.cpp "$root"/tests/unit/support/*.cpp \
    -lbenchmark -lpthread -o "$out/guiblend_bench"
"$out/guiblend_bench"
