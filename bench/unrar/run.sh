#!/usr/bin/env bash
# Extraction throughput of our unrar library on a large stored package made by mkrar
# (512 MiB in a few large and many small files), natively and as unrar.dll under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
make -C "$root" -s native win JOBS=2 >/dev/null
work=$root/build/bench/unrar
size_mib=${UNRAR_BENCH_MIB:-512}
mkdir -p "$work"
if [ ! -f "$work/package.rar" ]; then
    rm -rf "$work/src" && mkdir -p "$work/src/small"
    for i in 1 2 3 4; do head -c $((size_mib / 4))M /dev/urandom >"$work/src/big$i.bin"; done
    for i in $(seq 1 2000); do head -c 4096 /dev/urandom >"$work/src/small/f$i.dat"; done
    "$root/build/native/tools/mkmedium/mkrar" "$work/package.rar" "$work/src" >/dev/null
    rm -rf "$work/src"
fi
echo "package: $(du -m "$work/package.rar" | cut -f1) MiB"
rm -rf "$work/out"
echo -n "native libunrar.so: "
"$root/build/native/bench/unrar_bench" "$work/package.rar" "$work/out"
if [ -f "$root/build/win/bench/unrar_bench.exe" ]; then
    rm -rf "$work/out"
    cp "$root/build/win/unrar/unrar.dll" "$root/build/win/bench/"
    echo -n "unrar.dll under Wine: "
    "$root/scripts/with-wine" wine "$root/build/win/bench/unrar_bench.exe" "Z:$work/package.rar" "Z:$work/out"
fi
rm -rf "$work/out"
