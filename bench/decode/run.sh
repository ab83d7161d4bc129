#!/usr/bin/env bash
# Decompression of compressed, non-solid RAR 4 archives (the test data's largest)
# through our library against libarchive's RAR reader, natively, in one process.
# Target: at least 1.0 x libarchive on each.
#   bench/run decode [-- ROUNDS]   (default 20 rounds per archive)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
rounds=${1:-20}
make -C "$root" -s native JOBS=2 >/dev/null
data=$root/tests/data/rar
"$root/build/native/bench/decodebench" "$rounds" "$data/test_read_format_rar_binary_data.rar" \
    "$data/test_read_format_rar_filter.rar" "$data/test_read_format_rar_compress_best.rar" \
    "$data/test_read_format_rar_compress_normal.rar" "$data/test_read_format_rar_multi_lzss_blocks.rar"
