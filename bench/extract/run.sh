#!/usr/bin/env bash
# Extraction benchmark: our library against the floors it cannot beat, each pair
# measured in the same run (the machine is shared, so only ratios within one run
# compare). Every figure is the best of several tries, ours and the floor's taking
# turns (EXTRACT_BENCH_ROUNDS, 4, sets how many).
#   - large stored files through setup's worker path under Wine (measuring, data
#     callback and progress included), against a plain Win32 ReadFile/WriteFile
#     copy of the same package in 1 MiB chunks (both in workerbench.exe);
#   - 2000 files of 4 KiB in one folder through the worker path under Wine, against
#     a plain Win32 create, write and close of as many files (both in workerbench.exe);
#   - the large package through libunrar.so natively, against bsdtar, whose process
#     start (timed on a package of one empty file) is taken off;
#   - compressed RAR 4 and RAR 5 test archives natively against bsdtar's calls in
#     one process, repeated (tarbench: the archives take a millisecond or two, less
#     than bsdtar's start), and under Wine through the bare library;
#   - the solid RAR 4 packages, which bsdtar cannot read, through our engine only.
#   bench/run extract [-- SIZE_MB]   (default 600 MB of stored data made by mkrar)
# EXTRACT_BENCH_OUT=/dev/shm/x extracts into that folder instead of build/bench, to
# take the disk's write-back out of the comparison. EXTRACT_BENCH_LIBS=DIR takes
# unrar.dll and libunrar.so from DIR instead of this build (another build to compare).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
size_mb=${1:-600}
rounds=${EXTRACT_BENCH_ROUNDS:-4}
work=$root/build/bench/extract
out=${EXTRACT_BENCH_OUT:-$work/out}
win_bench=$root/build/win/bench
native_bench=$root/build/native/bench/unrar_bench
tar_bench=$root/build/native/bench/tarbench
writer=$root/build/native/tools/mkmedium/mkrar
make -C "$root" -s native win JOBS=2 >/dev/null
for f in "$win_bench/workerbench.exe" "$native_bench" "$tar_bench" "$writer"; do
    [ -f "$f" ] || { echo "bench: $f not built" >&2; exit 1; }
done

# The packages: large files of 1 to 64 MB of incompressible data, size_mb in all;
# 2000 small files in one folder; one empty file (bsdtar's start); test archives.
rm -rf "$work" && mkdir -p "$work/large" "$work/small/small" "$work/empty" "$work/medium" "$out"
left=$size_mb n=0
while [ "$left" -gt 0 ]; do
    mb=$(((n % 64) + 1)); [ "$mb" -gt "$left" ] && mb=$left
    head -c $((mb << 20)) /dev/urandom >"$work/large/file$n.bin"
    left=$((left - mb)); n=$((n + 1))
done
for i in $(seq 1 2000); do head -c 4096 /dev/urandom >"$work/small/small/f$i.dat"; done
: >"$work/empty/empty.txt"
for name in large small empty; do
    "$writer" "$work/medium/$name.pak" "$work/$name" >/dev/null
    rm -rf "${work:?}/$name"
done
declare -A test_archives=(
    [rar4-filter]=test_read_format_rar_filter.rar
    [rar5-arm]=test_read_format_rar5_arm.rar [rar5-solid]=test_read_format_rar5_solid.rar
    [rar5-multi]=test_read_format_rar5_multiple_files_solid.rar
    [solid-rar3]=rarfile_rar3-solid.rar [solid-ppmd]=test_read_format_rar_ppmd_lzss_conversion.rar)
for name in "${!test_archives[@]}"; do cp "$root/tests/data/rar/${test_archives[$name]}" "$work/medium/$name.pak"; done
compressed=$(cd "$work/medium" && ls rar4-*.pak rar5-*.pak)
solid=$(cd "$work/medium" && ls solid-*.pak)
libs=${EXTRACT_BENCH_LIBS:-}
# Another build may predate our RAR 4 engine: libarchive read no solid RAR 4
# package whole, so those are left to this build.
[ -n "$libs" ] && export LD_LIBRARY_PATH=$libs && solid=
cp "${libs:-$root/build/win/unrar}/unrar.dll" "$win_bench/workerbench.exe" "$work/medium/"
wout="Z:$out"

# Under Wine: workerbench prints per package: name bytes, then the best seconds of
# the bare library, the worker path, its measuring, the copy floor, the files floor.
wine_results=$(cd "$work/medium" && "$root/scripts/with-wine" wine workerbench.exe "$wout\\worker" $((rounds * 2)) \
    large.pak small.pak $compressed $solid | tr -d '\r')
field() { echo "$wine_results" | awk -v p="$1" -v col="$2" '$1 == p { print $col }'; }
large_bytes=$(field large.pak 2) large_raw=$(field large.pak 3) large_worker=$(field large.pak 4)
copy_secs=$(field large.pak 6)
small_raw=$(field small.pak 3) small_worker=$(field small.pak 4) files_secs=$(field small.pak 7)

# Natively: our library (timed inside its process) and bsdtar in turns. seconds()
# times a command from this shell; bsdtar_best takes the best of $2 runs.
seconds() {
    local start=$EPOCHREALTIME
    "$@"
    echo "$EPOCHREALTIME - $start" | bc -l
}
bsdtar_best() {
    local b="" s
    for _ in $(seq "$2"); do
        rm -rf "$out/tar" && mkdir -p "$out/tar"
        s=$(seconds bsdtar -xf "$work/medium/$1" -C "$out/tar")
        if [ -z "$b" ] || [ "$(echo "$s < $b" | bc -l)" = 1 ]; then b=$s; fi
    done
    echo "$b"
}
ours_best() { "$native_bench" "$work/medium/$1" "$out/native" "$2" | sed -n 's/.* in \([0-9.]*\) s:.*/\1/p'; }
min() { printf '%s\n' "$@" | sort -g | head -n1; }
native_large=() tar_large=() tar_start=()
for round in $(seq "$rounds"); do
    native_large+=("$(ours_best large.pak 1)")
    tar_large+=("$(bsdtar_best large.pak 1)")
    tar_start+=("$(bsdtar_best empty.pak 5)")
done
start_secs=$(min "${tar_start[@]}")
native_secs=$(min "${native_large[@]}")
tar_secs=$(echo "$(min "${tar_large[@]}") - $start_secs" | bc -l)

mbs() { echo "$1 / 1048576 / $2" | bc -l; }
echo "packages: large.pak $((large_bytes >> 20)) MiB stored; small.pak 2000 files of 4 KiB; test archives"
printf '%-36s %12s %12s %8s   %s\n' "" ours floor ratio target
printf '%-36s %7.1f MB/s %7.1f MB/s %8.3f   >= 0.50  (floor: Win32 copy in 1 MiB chunks)\n' \
    "worker path, large stored (Wine)" "$(mbs "$large_bytes" "$large_worker")" "$(mbs "$large_bytes" "$copy_secs")" \
    "$(echo "$copy_secs / $large_worker" | bc -l)"
printf '%-36s %8.3f s   %8.3f s   %8.3f   <= 1.20  (floor: create, write, close)\n' \
    "worker path, 2000 small files (Wine)" "$small_worker" "$files_secs" "$(echo "$small_worker / $files_secs" | bc -l)"
printf '%-36s %7.1f MB/s %7.1f MB/s %8.3f   >= 1.00  (floor: bsdtar, its start of %.3f s taken off)\n' \
    "libunrar.so, large stored (native)" "$(mbs "$large_bytes" "$native_secs")" "$(mbs "$large_bytes" "$tar_secs")" \
    "$(echo "$tar_secs / $native_secs" | bc -l)" "$start_secs"
printf '  bare library under Wine: large %.1f MB/s, small files %.3f s\n' "$(mbs "$large_bytes" "$large_raw")" "$small_raw"
printf '  bsdtar'"'"'s calls in one process (tarbench), large: %.1f MB/s\n' \
    "$(mbs "$large_bytes" "$("$tar_bench" "$work/medium/large.pak" "$out/tar" "$rounds")")"

echo "compressed test archives (MB/s; best of 20 in one process each):"
printf '  %-16s %9s %11s %11s %8s %11s\n' package bytes native tarbench ratio Wine
for pak in $compressed; do
    bytes=$(field "$pak" 2) wine_raw=$(field "$pak" 3)
    ours=$(ours_best "$pak" 20)
    theirs=$("$tar_bench" "$work/medium/$pak" "$out/tar" 20)
    printf '  %-16s %9d %11.1f %11.1f %8.3f %11.1f\n' "$pak" "$bytes" "$(mbs "$bytes" "$ours")" \
        "$(mbs "$bytes" "$theirs")" "$(echo "$theirs / $ours" | bc -l)" "$(mbs "$bytes" "$wine_raw")"
done
[ -z "$solid" ] || echo "solid RAR 4 (our engine only; bsdtar cannot read them; MB/s):"
for pak in $solid; do
    bytes=$(field "$pak" 2) wine_raw=$(field "$pak" 3)
    printf '  %-16s %9d %11.1f %11s %8s %11.1f\n' "$pak" "$bytes" "$(mbs "$bytes" "$(ours_best "$pak" 3)")" - - \
        "$(mbs "$bytes" "$wine_raw")"
done
rm -rf "${out:?}/tar" "$out/native" "$out/worker"
