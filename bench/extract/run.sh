#!/usr/bin/env bash
# Extraction benchmark: the same packages through setup's worker path (under Wine,
# our unrar.dll, measuring and progress on), through the bare library in the same
# process, and through bsdtar natively. Prints the three throughputs and their
# ratios. Not part of the tests. The solid RAR 4 packages (rar3-solid, and the
# 230 MB PPMd/LZ stream of ppmd_lzss_conversion) go through our own RAR 4 engine,
# which no Debian tool shares and bsdtar cannot read: they are timed through the
# library only, and their line shows their throughput against the stored data's.
#   bench/run extract [-- SIZE_MB]   (default 600 MB of stored data made by mkrar,
#                                     plus compressed real archives of the test data)
# EXTRACT_BENCH_OUT=/dev/shm/x extracts into that folder instead of build/bench, to
# take the disk's write-back out of the comparison.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
size_mb=${1:-600}
work=$root/build/bench/extract
out=${EXTRACT_BENCH_OUT:-$work}
bench=$root/build/win/bench/workerbench.exe
writer=$root/build/native/tools/mkmedium/mkrar
make -C "$root" -s native win JOBS=2 >/dev/null
[ -f "$bench" ] || { echo "bench: $bench not built" >&2; exit 1; }
[ -x "$writer" ] || { echo "bench: the RAR writer $writer not built" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work/content" "$work/medium"
# Content: files of 1 to 64 MB of incompressible data, size_mb in all, and a
# folder of 2000 small files (per-entry costs).
left=$size_mb n=0
while [ "$left" -gt 0 ]; do
    mb=$(( (n % 64) + 1 )); [ "$mb" -gt "$left" ] && mb=$left
    head -c $((mb << 20)) /dev/urandom >"$work/content/file$n.bin"
    left=$((left - mb)); n=$((n + 1))
done
mkdir -p "$work/content/small"
for i in $(seq 1 2000); do head -c 4096 /dev/urandom >"$work/content/small/f$i.dat"; done
"$writer" "$work/medium/data0.pak" "$work/content" >/dev/null
rm -rf "$work/content"
i=1
for rar in test_read_format_rar_filter.rar test_read_format_rar5_arm.rar test_read_format_rar5_solid.rar \
           test_read_format_rar5_multiple_files_solid.rar; do
    cp "$root/tests/data/rar/$rar" "$work/medium/data$i.pak"; i=$((i + 1))
done
# Packages that bsdtar cannot read: our RAR 4 engine alone.
solid=(rarfile_rar3-solid.rar test_read_format_rar_ppmd_lzss_conversion.rar)
for rar in "${solid[@]}"; do
    cp "$root/tests/data/rar/$rar" "$work/medium/solid$i.pak"; i=$((i + 1))
done
cp "$root/build/win/unrar/unrar.dll" "$bench" "$work/medium/"
packages=$(cd "$work/medium" && ls data*.pak)
solid_packages=$(cd "$work/medium" && ls solid*.pak)

# The worker path and the bare library, each package extracted raw, worker, worker, raw.
results=$(cd "$work/medium" && "$root/scripts/with-wine" wine workerbench.exe "Z:$out/out-worker" $packages | tr -d '\r')
echo "$results" | awk '{ printf "  %-10s %12d bytes  raw %7.3f s  worker %7.3f s (measuring %.3f s)\n", $1, $2, $3, $4, $5 }'
read -r bytes raw_secs worker_secs < <(echo "$results" | awk '{ b += $2; r += $3; w += $4 } END { print b, r, w }')
stored_rate=$(echo "$results" | awk '$1 == "data0.pak" { print $2 / 1048576 / $3 }')

solid_results=$(cd "$work/medium" && "$root/scripts/with-wine" wine workerbench.exe "Z:$out/out-solid" $solid_packages | tr -d '\r')
echo "$solid_results" | awk -v stored="$stored_rate" '{ rate = $2 / 1048576 / $3;
    printf "  %-10s %12d bytes  raw %7.3f s  worker %7.3f s  %7.1f MB/s = %.3f x stored RAR 4\n", $1, $2, $3, $4, rate, rate / stored }'
rm -rf "$out/out-solid"

# bsdtar, the best of two runs per package.
tar_secs=0
for pak in $packages; do
    best=""
    for run in 1 2; do
        rm -rf "$out/out-tar" && mkdir -p "$out/out-tar"
        start=$(date +%s.%N)
        bsdtar -xf "$work/medium/$pak" -C "$out/out-tar"
        secs=$(echo "$(date +%s.%N) - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$secs < $best" | bc -l)" = 1 ]; then best=$secs; fi
    done
    tar_secs=$(echo "$tar_secs + $best" | bc -l)
done
rm -rf "$out/out-tar" "$out/out-worker"

mbs() { echo "$bytes / 1048576 / $1" | bc -l; }
worker=$(mbs "$worker_secs") raw=$(mbs "$raw_secs") tar=$(mbs "$tar_secs")
printf 'worker path (Wine):        %8.1f MB/s  (%d bytes)\n' "$worker" "$bytes"
printf 'unrar.dll bare (Wine):     %8.1f MB/s\n' "$raw"
printf 'bsdtar (native):           %8.1f MB/s\n' "$tar"
printf 'ratio worker/bare library: %.3f  (target >= 0.90)\n' "$(echo "$worker / $raw" | bc -l)"
printf 'ratio worker/bsdtar:       %.3f\n' "$(echo "$worker / $tar" | bc -l)"
