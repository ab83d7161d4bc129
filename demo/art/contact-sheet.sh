#!/usr/bin/env bash
# Renders the medium's TGA pictures the way the installer reads them (raw pixels
# from byte 18, bottom row first, no look at the header's origin bit) and lays
# out each screen as the installer composes it, for a look by eye.
# Usage: contact-sheet.sh CONVERT MEDIA_DIR OUTPUT.png
set -euo pipefail
C=$1; MEDIA=$2; SHEET=$3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quill-sheet.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# raw FILE.tga -> png as the installer sees it
raw() {
    local f=$MEDIA/$1 w h bpp
    bpp=$(od -An -tu1 -j16 -N1 "$f" | tr -d ' ')
    read -r w h < <(od -An -tu2 -j12 -N4 "$f")
    if [ "$bpp" = 32 ]; then "$C" -size "${w}x${h}+18" -depth 8 "bgra:$f" -flip "$WORK/${1%.tga}.png"
    else "$C" -size "${w}x${h}+18" -depth 8 "bgr:$f" -flip "$WORK/${1%.tga}.png"; fi
}
for f in "$MEDIA"/*.tga; do raw "$(basename "$f")"; done
P() { echo "$WORK/$1.png"; }

# screen BACKGROUND OUT then pairs of "picture +x+y"
screen() {
    local bg=$1 out=$2; shift 2
    local args=("$(P "$bg")")
    while [ $# -gt 0 ]; do args+=("$(P "$1")" -geometry "$2" -composite); shift 2; done
    "$C" "${args[@]}" "$WORK/screen_$out.png"
}
# Hover highlights are centred on the button they light up.
screen back_play_install_01 welcome over_install_play +20+195 text_install +20+173
screen back_play_install_02 installed over_install_play +20+228 text_play +20+173
screen back_license license over_license +294+326 scroll_slider_top +515+98 scroller +515+104 \
    scroller +515+108 scroller +515+112 scroll_slider_bottom +515+114 text_license +0+326
screen back_options options over_options +55+265 text_icon_on +22+237 edit_cursor +200+221 text_options +21+173
"$C" "$(P back_progress)" "$(P 04)" -geometry +51+85 -composite \
    \( "$(P progress_bar)" -crop 208x23+0+0 +repage \) -geometry +28+324 -composite \
    "$(P over_progress)" -geometry +388+318 -composite "$(P text_progress)" -geometry +373+318 -composite \
    "$WORK/screen_progress.png"

montage=${C/convert/montage}
"$montage" "$WORK"/screen_*.png -tile 2x -geometry +6+6 -background '#333' "$WORK/screens.png"
"$montage" "$WORK"/[0-9][0-9].png -tile 2x -geometry +4+4 -background '#333' "$WORK/slides.png"
"$montage" -font DejaVu-Sans -label "%f" "$WORK"/{over_*,text_icon_on,edit_cursor,scroll_*,scroller,progress_bar}.png \
    -tile 5x -geometry +30+10 -background '#777' "$WORK/pieces.png"
"$C" "$WORK/screens.png" "$WORK/slides.png" "$WORK/pieces.png" -background '#333' -gravity center -append "$SHEET"
