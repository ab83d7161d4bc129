#!/usr/bin/env bash
# Extraction benchmark: the same packages through setup's worker path (under
# Wine, our unrar.dll, progress callback on) and through bsdtar natively.
# Prints both throughputs and their ratio. Not part of the tests.
#   bench/run extract [SIZE_MB]    (default 600 MB of stored data, plus the compressed
#                           real archives of the shared test data)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
size_mb=${1:-600}
work=$root/build/bench
dll=$root/build/win/unrar/unrar.dll
writer=$root/build/native/tools/mkmedium/mkrar
make -C "$root" -s native win JOBS=2 >/dev/null
[ -f "$dll" ] || { echo "bench: $dll not built yet" >&2; exit 1; }
[ -x "$writer" ] || { echo "bench: the RAR writer $writer is not built yet" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work/content" "$work/medium"
# Content: files of 1 to 64 MB of incompressible data, size_mb in all.
left=$size_mb n=0
while [ "$left" -gt 0 ]; do
    mb=$(( (n % 64) + 1 )); [ "$mb" -gt "$left" ] && mb=$left
    head -c $((mb << 20)) /dev/urandom >"$work/content/file$n.bin"
    left=$((left - mb)); n=$((n + 1))
done
"$writer" "$work/medium/data0.pak" "$work/content" >/dev/null
cp "$dll" "$work/medium/unrar.dll"
i=1
for rar in /work/shared/testdata/rar/test_read_format_rar5_compressed.rar \
           /work/shared/testdata/rar/test_read_format_rar_compress_best.rar; do
    cp "$rar" "$work/medium/data$i.pak"; i=$((i + 1))
done

lib=$root/build/win/install
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -static -I"$root/install" -I"$root/install/gui" \
    "$root/bench/extract/workerbench.cpp" -o "$work/workerbench.exe" \
    -Wl,--start-group "$lib/libsetup_lib.a" "$lib/libquill_core.a" "$lib/libquill_win32.a" -Wl,--end-group \
    -lole32 -loleaut32 -luuid -lshell32 -lcomdlg32 -lgdi32 -luser32 -ladvapi32 -lwinmm -lmsacm32

worker_bytes=0 worker_secs=0 tar_bytes=0 tar_secs=0
for pak in "$work"/medium/data*.pak; do
    name=$(basename "$pak")
    read -r bytes secs < <(cd "$work/medium" && "$root/scripts/with-wine" wine "$work/workerbench.exe" "$name" \
        "Z:$work/out-worker/$name" | tr -d '\r')
    worker_bytes=$((worker_bytes + bytes)); worker_secs=$(echo "$worker_secs + $secs" | bc -l)
    mkdir -p "$work/out-tar/$name"
    start=$(date +%s.%N)
    bsdtar -xf "$pak" -C "$work/out-tar/$name"
    tar_secs=$(echo "$tar_secs + $(date +%s.%N) - $start" | bc -l)
    tar_bytes=$((tar_bytes + $(du -sb --apparent-size "$work/out-tar/$name" | cut -f1)))
    rm -rf "$work/out-worker" "$work/out-tar"
done
worker=$(echo "$worker_bytes / 1048576 / $worker_secs" | bc -l)
tar=$(echo "$tar_bytes / 1048576 / $tar_secs" | bc -l)
printf 'worker path (Wine): %8.1f MB/s  (%d bytes)\n' "$worker" "$worker_bytes"
printf 'bsdtar (native):    %8.1f MB/s  (%d bytes)\n' "$tar" "$tar_bytes"
printf 'ratio worker/bsdtar: %.3f\n' "$(echo "$worker / $tar" | bc -l)"
