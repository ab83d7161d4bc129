#!/usr/bin/env bash
# Checks the assembled demo medium the way setup.exe will read it: every
# picture an uncompressed true-colour TGA (24 or 32 bits, no identification
# field, no colour map, lower-left origin, complete pixel data) at the size its
# screen needs, every sound a decodable MP3, and every string-table key present.
# Usage: check-medium.sh MEDIUM_DIR
set -uo pipefail
MEDIUM=$1
MEDIA=$MEDIUM/Media
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
byte() { od -An -tu1 -j"$2" -N1 "$1" | tr -d ' '; }
word() { od -An -tu2 -j"$2" -N2 "$1" | tr -d ' '; }

# tga NAME WIDTH HEIGHT [BITS]: WIDTH or HEIGHT "-" accepts any size.
tga() {
    local f=$MEDIA/$1.tga
    [ -f "$f" ] || { fail "$1.tga is missing"; return; }
    local id cmap type w h bpp desc
    id=$(byte "$f" 0); cmap=$(byte "$f" 1); type=$(byte "$f" 2)
    w=$(word "$f" 12); h=$(word "$f" 14); bpp=$(byte "$f" 16); desc=$(byte "$f" 17)
    [ "$id" = 0 ] || fail "$1.tga has an identification field of $id bytes"
    [ "$cmap" = 0 ] || fail "$1.tga has a colour map"
    [ "$type" = 2 ] || fail "$1.tga is of image type $type, not uncompressed true colour"
    [ "$bpp" = 24 ] || [ "$bpp" = 32 ] || fail "$1.tga has $bpp bits per pixel"
    [ -z "${4:-}" ] || [ "$bpp" = "$4" ] || fail "$1.tga has $bpp bits per pixel, not $4"
    (( (desc & 0x30) == 0 )) || fail "$1.tga is not stored from the lower-left corner"
    [ "$2" = - ] || [ "$w" = "$2" ] || fail "$1.tga is $w pixels wide, not $2"
    [ "$3" = - ] || [ "$h" = "$3" ] || fail "$1.tga is $h pixels high, not $3"
    local size; size=$(stat -c %s "$f")
    (( size >= 18 + w * h * bpp / 8 )) || fail "$1.tga holds $size bytes, too few for its pixels"
    TGA_W=$w; TGA_H=$h
}
# fits NAME X Y: a picture drawn at (X, Y) stays inside the 550 x 400 panel.
fits() {
    tga "$1" - -
    (( $2 + TGA_W <= 550 && $3 + TGA_H <= 400 )) || fail "$1.tga drawn at $2,$3 leaves the panel"
}

for name in back_play_install_01 back_play_install_02 back_license back_options back_progress; do
    tga "$name" 550 400
done
for n in 01 02 03 04 05 06 07 08 09 10; do tga "$n" 453 211; done
# Hover pictures match their buttons; they lie over the background, so they need alpha.
tga over_install_play 333 22 32
tga over_license 128 32 32
tga over_options 85 26 32
tga over_progress 127 32 32
# Captions are drawn last, over everything, at fixed points.
fits text_install 20 173; fits text_play 20 173; fits text_license 0 326
fits text_options 21 173; fits text_progress 373 318
tga text_install - - 32; tga text_play - - 32; tga text_license - - 32; tga text_options - - 32; tga text_progress - - 32
# Widgets.
tga progress_bar 344 23
tga scroll_arrow_top 22 21; tga scroll_arrow_bottom 22 21
tga scroll_slider_top 22 -; top_h=$TGA_H
tga scroll_slider_bottom 22 "$top_h"
tga scroller 22 -
tga text_icon_on 20 20 32
tga edit_cursor - - 32
(( TGA_H <= 18 )) || fail "edit_cursor.tga is $TGA_H pixels high, taller than the folder box"

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
for cue in Back Ok Error Present ScrShot; do
    f=$MEDIA/$cue.mp3
    [ -f "$f" ] || { fail "$cue.mp3 is missing"; continue; }
    lame --quiet --decode "$f" "$work/$cue.wav" 2>/dev/null || { fail "$cue.mp3 does not decode"; continue; }
    secs=$(soxi -D "$work/$cue.wav" 2>/dev/null || echo 0)
    awk -v s="$secs" 'BEGIN { exit !(s > 0.03 && s < 30) }' || fail "$cue.mp3 lasts $secs seconds"
done
awk -v s="$(soxi -D "$work/Back.wav" 2>/dev/null || echo 0)" 'BEGIN { exit !(s >= 2) }' \
    || fail "Back.mp3 is too short to loop pleasantly"

strings=$MEDIA/strings.txt
value() { grep -m1 "^$1[ 	]" "$strings" | sed "s/^$1[ 	]*//" | tr -d '\r'; }
for key in STR_APP_TITLE LNG_CHARSET MSG_WRONG_SYSTEM MSG_WRONG_SYSTEM1 URL_HOMEPAGE URL_SUPPORT PATH_SOURCE \
    PATH_GAME_DIR TXT_SELECT_DIRECTORY INT_SPACE_NEED MSG_OUT_OF_SPACE1 MSG_OUT_OF_SPACE2 MSG_OUT_OF_SPACE3 MSG_MB \
    ERR_NO_FILE MSG_ARE_YOU_SURE PATH_GAME_EXE TXT_GAME_ICON_DESCR TXT_SUPPORT_ICON_DESCR PATH_SUPPORT \
    TXT_SITE_ICON_DESCR TXT_SPONSOR_SITE_ICON_DESCR URL_SPONSOR_HOMEPAGE TXT_UNINSTALL_ICON_DESCR INT_ICON_CB_X \
    MSG_CONFIRM_UNINSTALL MSG_UNINSTALL_SUCCESS MSG_UNINSTALL_FAIL PATH_ADD_INSTALL_0 PATH_ADD_INSTALL_1; do
    [ -n "$(value "$key")" ] || fail "strings.txt has no text for $key"
done
[ "$(value LNG_CHARSET)" = ANSI_CHARSET ] || fail "LNG_CHARSET is not ANSI_CHARSET"
[ -n "$(value MSG_CONFIRM_ADD_INSTALL_0)" ] || fail "additional installer 0 asks no question"
[ -z "$(value MSG_CONFIRM_ADD_INSTALL_1)" ] || fail "additional installer 1 asks a question"
for key in INT_SPACE_NEED INT_ICON_CB_X; do
    [[ "$(value "$key")" =~ ^[0-9]+$ ]] || fail "$key is not a number"
done
mb=$(value MSG_MB); (( ${#mb} <= 49 )) || fail "MSG_MB is longer than 49 characters"
! grep -q '%' "$strings" || fail "strings.txt holds a % sign, which the message boxes would take for a conversion"
for f in "$MEDIA/license.txt" "$MEDIUM/Readme.txt"; do [ -s "$f" ] || fail "$(basename "$f") is missing or empty"; done

[ "$failures" = 0 ] || { echo "$failures problem(s) on the medium"; exit 1; }
echo "demo medium: ok"
