#!/usr/bin/env bash
# Synthesises the installer's five sound cues with sox and encodes them with
# lame as 44.1 kHz stereo MP3: a calm looping pad for the background and four
# short effects. The cues to make come from the medium catalogue, which the
# authoring tool prints; the script fails when it did not make one of them.
# Usage: make-sounds.sh MKMEDIUM OUTPUT_DIR
set -euo pipefail
MKMEDIUM=$1
OUT=$2
mkdir -p "$OUT"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quill-sound.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
RATE=(-r 44100 -c 2 -b 16)

# chord NAME SECONDS FREQ...: three soft voices, mixed to both channels.
chord() {
    local name=$1 len=$2; shift 2
    local voices=()
    for f in "$@"; do voices+=(sine "$f"); done
    sox -n -r 44100 -c $# -b 16 "$WORK/$name.raw.wav" synth "$len" "${voices[@]}" tremolo 0.5 20
    sox "$WORK/$name.raw.wav" "${RATE[@]}" "$WORK/$name.wav" gain -12 remix -m 1-$# 1-$# fade q 0.4 "$len" 0.6 gain -6
}
encode() { lame --quiet -b 128 "$WORK/$1.wav" "$OUT/$1.mp3"; }

# Back: four chords of two seconds (C, A minor, F, G), ending where it began.
chord c 2 261.63 329.63 392.00
chord am 2 220.00 261.63 329.63
chord f 2 174.61 220.00 261.63
chord g 2 196.00 246.94 293.66
sox "$WORK"/{c,am,f,g}.wav "$WORK/Back.wav"
encode Back

# Ok: a short wooden tick.
sox -n "${RATE[@]}" "$WORK/Ok.wav" synth 0.07 pluck 1318.5 fade q 0 0.07 0.05 gain -8
encode Ok
# Error: two falling square tones.
sox -n "${RATE[@]}" "$WORK/e1.wav" synth 0.14 square 220 fade q 0.01 0.14 0.04 gain -22
sox -n "${RATE[@]}" "$WORK/e2.wav" synth 0.22 square 165 fade q 0.01 0.22 0.1 gain -22
sox "$WORK/e1.wav" "$WORK/e2.wav" "$WORK/Error.wav"
encode Error
# Present: a rising two-note chime.
sox -n "${RATE[@]}" "$WORK/p1.wav" synth 0.18 pluck 659.26 gain -10
sox -n "${RATE[@]}" "$WORK/p2.wav" synth 0.5 pluck 987.77 fade q 0 0.5 0.4 gain -10
sox "$WORK/p1.wav" "$WORK/p2.wav" "$WORK/Present.wav"
encode Present
# ScrShot: a camera shutter, two bursts of filtered noise.
sox -n "${RATE[@]}" "$WORK/s1.wav" synth 0.05 brownnoise fade q 0 0.05 0.04 gain -6
sox -n "${RATE[@]}" "$WORK/s2.wav" synth 0.08 pinknoise fade q 0 0.08 0.07 highpass 1500 gain -8
sox "$WORK/s1.wav" "$WORK/s2.wav" "$WORK/ScrShot.wav"
encode ScrShot

# Every cue of the catalogue must have been made.
"$MKMEDIUM" --list | while IFS=$'\t' read -r kind file _; do
    [ "$kind" = sound ] || continue
    [ -f "$OUT/$(basename "$file")" ] || { echo "make-sounds: $file is in the catalogue but was not made" >&2; exit 1; }
done
