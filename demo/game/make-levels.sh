#!/usr/bin/env bash
# Writes the demo game's level files: plain-text tile maps, large enough that
# the installation runs for a few seconds and the progress screen shows its
# slides. Usage: make-levels.sh OUTPUT_DIR COUNT MEGABYTES_EACH
set -euo pipefail
OUT=$1 COUNT=$2 MB=$3
mkdir -p "$OUT"
for n in $(seq 1 "$COUNT"); do
    # A row of tiles that differs per level, repeated to the size.
    row=$(printf 'level %02d row: ' "$n"; for t in $(seq 1 24); do printf '%x' $(( (n * 7 + t * 13) % 16 )); done)
    { yes "$row" || true; } | head -c $((MB * 1024 * 1024)) > "$OUT/level$(printf %02d "$n").map"
done
