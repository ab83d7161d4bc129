#!/usr/bin/env bash
# Draws every picture of the demo medium with ImageMagick and writes them as the
# TGA files the installer reads: uncompressed true colour, 24 bits for opaque
# pictures (backgrounds, slides) and 32 bits with alpha for everything laid on
# top of them, no identification field, rows stored bottom row first.
# Which pictures there are and their sizes come from the medium catalogue, which
# the authoring tool prints; the script fails when it did not draw one of them.
# Usage: make-art.sh MKMEDIUM CONVERT OUTPUT_DIR
set -euo pipefail
MKMEDIUM=$1
C=$2
OUT=$3
mkdir -p "$OUT"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quill-art.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# W[name] and H[name]: the size of each picture ("any" where the artwork decides).
declare -A W H
while IFS=$'\t' read -r kind first second third _; do
    case $kind in
    panel) PANEL_W=$first; PANEL_H=$second ;;
    picture) name=$(basename "$first" .tga); W[$name]=$second; H[$name]=$third ;;
    esac
done < <("$MKMEDIUM" --list)
size() { echo "${W[$1]}x${H[$1]}"; }

# One palette for the whole product: ink blues, quill gold, parchment text.
INK_DEEP='#0b1322'; INK='#1d3557'; INK_LIGHT='#2c4a72'; INK_EDGE='#3d5f8c'
GOLD='#f1c453'; GOLD_DARK='#b8862b'; PARCH='#e6d7bd'; MUTED='#8fa3bf'
SERIF_B=DejaVu-Serif-Bold; SERIF_I=DejaVu-Serif-Italic; SANS=DejaVu-Sans
SANS_B=DejaVu-Sans-Bold; SANS_C=DejaVu-Sans-Condensed

# --- writers ---------------------------------------------------------------
# ImageMagick writes the top row first whatever the header says, so flip the
# picture to get the bottom-up order of the lower-left origin.
tga24() { "$C" "$1" -alpha off -flip -type TrueColor -depth 8 -compress none +set comment "TGA:$OUT/$2"; }
tga32() { "$C" "$1" -alpha set -flip -type TrueColorAlpha -depth 8 -compress none +set comment "TGA:$OUT/$2"; }

# --- shared pieces ---------------------------------------------------------
# A quill feather, nib at the origin, pointing up; used in MVG with a transform.
QUILL="path 'M 0,0 L 3,-18 C 8,-40 26,-70 30,-112 C 14,-96 -2,-70 -4,-40 C -5,-28 -3,-14 0,0 Z'"
QUILL_SHAFT="path 'M 0,0 C 6,-30 16,-70 29,-110'"
quill() { # x y angle scale fill
    echo "push graphic-context translate $1,$2 rotate $3 scale $4,$4 fill '$5' stroke '$GOLD_DARK' stroke-width 1 $QUILL stroke '$INK_DEEP' stroke-width 1.2 fill none $QUILL_SHAFT pop graphic-context"
}

# The panel every screen stands on: ink gradient, a soft light from above,
# a double gold frame and the small footer.
"$C" -size "${PANEL_W}x$PANEL_H" gradient:"$INK"-"$INK_DEEP" \
    \( -size "${PANEL_W}x$PANEL_H" radial-gradient:'#3d5f8c'-none -alpha set -channel A -evaluate multiply 0.45 +channel \
       -geometry +0-180 \) -compose over -composite \
    -fill none -stroke "$GOLD_DARK" -strokewidth 1 -draw "rectangle 5,5 544,394" \
    -stroke '#5a4a2a' -draw "rectangle 9,9 540,390" -stroke none \
    -font "$SANS" -pointsize 9 -fill "$MUTED" -gravity South -annotate +0+14 'Quillmark Demo  -  Orvanta Games' \
    "$WORK/panel.png"

# The wordmark: "QUILLMARK" in gold with a quill through the Q's side.
logo() { # output size
    "$C" -size "$2" xc:none -gravity West \
        -font "$SERIF_B" -pointsize 40 -fill '#00000090' -annotate +44+3 'QUILLMARK' \
        -fill "$GOLD" -annotate +42+1 'QUILLMARK' \
        -gravity NorthWest -draw "$(quill 20 56 18 0.48 "$PARCH")" \
        -font "$SANS" -pointsize 11 -fill "$PARCH" -annotate +46+56 'D E M O   -   a tale written in ink' \
        "$1"
}
logo "$WORK/logo.png" 340x76

# A button plate: raised ink with a gold rim.
plate() { # x y w h
    local x2=$(($1 + $3 - 1)) y2=$(($2 + $4 - 1))
    echo "fill '$INK_LIGHT' stroke '$GOLD_DARK' stroke-width 1 roundrectangle $1,$2 $x2,$y2 5,5 stroke none fill '#ffffff18' roundrectangle $(($1+2)),$(($2+2)) $((x2-2)),$(($2 + $4/2)) 4,4"
}
# A dark inset card that text and fields stand on.
card() { # x1 y1 x2 y2
    echo "fill '#0b132299' stroke '#5a4a2a' stroke-width 1 roundrectangle $1,$2 $3,$4 6,6 stroke none"
}

# Hover pictures: a gold glow with a bright rim, laid under the labels.
hover() { # name
    local w=${W[$1]} h=${H[$1]}
    "$C" -size "${w}x$h" xc:none -fill '#f1c45360' -stroke "$GOLD" -strokewidth 1 \
        -draw "roundrectangle 0,0 $((w-1)),$((h-1)) 5,5" -stroke none \
        -fill '#ffffff28' -draw "roundrectangle 2,2 $((w-3)),$((h/2)) 4,4" "$WORK/$1.png"
    tga32 "$WORK/$1.png" "$1.tga"
}

# Caption helper: appends to LABELS a label with a soft shadow, centred on cx
# (caption x) with its top at y; use with -gravity North on a canvas of width w.
LABELS=()
label_c() { # width cx y font size text
    local dx=$(( $2 - $1 / 2 ))
    LABELS+=(-font "$4" -pointsize "$5" -fill '#000000a0' -annotate "$(printf '%+d%+d' $((dx+1)) $(($3+1)))" "$6"
             -fill "$PARCH" -annotate "$(printf '%+d%+d' "$dx" "$3")" "$6")
}

# --- welcome and installed screens ----------------------------------------
menu_background() { # variant scene-mvg output
    "$C" "$WORK/panel.png" "$WORK/logo.png" -geometry +22+32 -composite \
        -draw "$(card 14 168 359 302)" \
        -draw "$2" \
        -fill none -stroke "$GOLD_DARK" -draw "roundrectangle 372,30 532,360 8,8" -stroke none \
        "$WORK/$3.png"
    tga24 "$WORK/$3.png" "$3.tga"
}
# Dawn over the harbour: sun, hills and a quill standing in the sea.
DAWN="fill '#3b2a4a' roundrectangle 373,31 531,359 8,8 \
 fill '#4e2f4e' rectangle 374,110 530,150 fill '#6a3a4e' rectangle 374,150 530,190 \
 fill '#8a4a4a' rectangle 374,190 530,222 fill '#b0614a' rectangle 374,222 530,260 \
 fill '#f1c45340' circle 452,240 452,196 fill '#e0894a' circle 452,240 452,212 \
 fill '#f1c453' circle 452,240 452,224 \
 fill '#24344f' polygon 373,268 410,236 440,260 470,230 531,270 531,359 373,359 \
 fill '#16233a' polygon 373,300 430,280 480,296 531,284 531,359 373,359 \
 fill '#0f1a2d' rectangle 380,320 524,352 $(quill 450 334 10 0.9 "$PARCH")"
# Night over the tower: moon, stars and the scribe's window.
NIGHT="fill '#0e1830' roundrectangle 373,31 531,359 8,8 fill '#f1c453' circle 470,80 471,80 circle 392,64 393,64 \
 fill '#e6d7bd' circle 488,162 488,146 fill '#0e1830' circle 480,156 480,142 \
 fill '#f1c453' circle 400,150 401,150 circle 430,138 431,138 circle 415,190 416,190 circle 510,210 511,210 circle 392,222 393,222 \
 fill '#1d3557' polygon 420,359 420,220 452,190 484,220 484,359 \
 fill '#f1c453' roundrectangle 442,240 462,268 8,8 \
 fill '#16233a' polygon 373,320 420,300 484,300 531,326 531,359 373,359 \
 $(quill 404 330 -12 0.6 "$PARCH")"
menu_background 1 "$DAWN" back_play_install_01
menu_background 2 "$NIGHT" back_play_install_02

menu_caption() { # output heading rows...
    local out=$1 heading=$2; shift 2
    local args=(-size 333x122 xc:none -gravity NorthWest
        -font "$SANS_B" -pointsize 9 -fill "$GOLD" -annotate +14+0 "$heading")
    while [ $# -gt 0 ]; do
        local y=$1 text=$2; shift 2
        args+=(-fill "$GOLD" -draw "polygon 16,$((y+11)) 20,$((y+7)) 24,$((y+11)) 20,$((y+15))"
               -font "$SANS" -pointsize 12 -fill '#000000a0' -annotate +35+$((y+4)) "$text"
               -fill "$PARCH" -annotate +34+$((y+3)) "$text")
    done
    "$C" "${args[@]}" "$WORK/$out.png"
    tga32 "$WORK/$out.png" "$out.tga"
}
# Rows of the caption, relative to its place at (20, 173) on the panel.
menu_caption text_install 'WELCOME' 22 'Install the Quillmark Demo' 44 'Read me' 65 'Visit the home page' 87 'Exit'
menu_caption text_play 'INSTALLED' 12 'Play the Quillmark Demo' 34 'Read me' 55 'Visit the home page' \
    76 'Uninstall' 98 'Exit'
hover over_install_play

# A screen title in the top band, beside the small wordmark.
small_logo() { # output
    "$C" -size 230x44 xc:none -font "$SERIF_B" -pointsize 22 -fill '#00000090' -annotate +31+31 'QUILLMARK' \
        -fill "$GOLD" -annotate +30+30 'QUILLMARK' -draw "$(quill 12 38 18 0.3 "$PARCH")" "$1"
}
small_logo "$WORK/small_logo.png"
titled_panel() { # title output
    "$C" "$WORK/panel.png" "$WORK/small_logo.png" -geometry +18+14 -composite \
        -font "$SERIF_I" -pointsize 16 -fill "$PARCH" -gravity NorthEast -annotate +28+24 "$1" -gravity NorthWest \
        -fill none -stroke '#5a4a2a' -draw "line 28,58 522,58" -stroke none "$2"
}

# --- licence screen -------------------------------------------------------
# Text box (23,70,512,255) with its scroll bar column at x 515: arrows at
# y 70 and 304 (22 x 21), the slider's track from 98 to 304.
arrow_mvg() { # x y up|down
    local x=$1 y=$2 cx=$(($1 + 11))
    local tri
    if [ "$3" = up ]; then tri="polygon $cx,$(($y+6)) $(($cx+6)),$(($y+14)) $(($cx-6)),$(($y+14))"
    else tri="polygon $cx,$(($y+15)) $(($cx+6)),$(($y+7)) $(($cx-6)),$(($y+7))"; fi
    echo "fill '$INK_LIGHT' stroke '$GOLD_DARK' stroke-width 1 roundrectangle $x,$y $(($x+21)),$(($y+20)) 4,4 stroke none fill '$GOLD' $tri"
}
titled_panel 'Licence agreement' "$WORK/lic.png"
"$C" "$WORK/lic.png" -draw "$(card 23 70 512 324)" \
    -draw "fill '#0b1322' stroke '#3d5f8c' stroke-width 1 roundrectangle 517,93 535,301 6,6 stroke none" \
    -draw "$(arrow_mvg 515 70 up)" -draw "$(arrow_mvg 515 304 down)" \
    -draw "$(plate 132 326 128 32)" -draw "$(plate 294 326 128 32)" \
    "$WORK/back_license.png"
tga24 "$WORK/back_license.png" back_license.tga
LABELS=(); label_c 550 196 8 "$SANS_B" 12 'I accept'; label_c 550 358 8 "$SANS_B" 12 'I decline'
"$C" -size 550x32 xc:none -gravity North "${LABELS[@]}" "$WORK/text_license.png"
tga32 "$WORK/text_license.png" text_license.tga
hover over_license

# The scroll arrows are buttons without hover group; their look lives in the
# background above, the pictures repeat it lit up.
for dir in up down; do
    "$C" -size "$(size scroll_arrow_top)" xc:none -draw "$(arrow_mvg 0 0 $dir)" -fill '#f1c45340' \
        -draw "roundrectangle 0,0 21,20 4,4" "$WORK/arrow_$dir.png"
done
tga32 "$WORK/arrow_up.png" scroll_arrow_top.tga
tga32 "$WORK/arrow_down.png" scroll_arrow_bottom.tga
# Slider: rounded caps of equal height and a middle piece repeated between them.
"$C" -size "${W[scroll_slider_top]}x6" xc:none -fill "$GOLD" -draw "roundrectangle 6,0 15,11 4,4" \
    -fill '#ffffff50' -draw "line 8,2 8,5" "$WORK/slider_top.png"
"$C" -size "${W[scroll_slider_bottom]}x6" xc:none -fill "$GOLD_DARK" -draw "roundrectangle 6,-6 15,5 4,4" \
    -fill "$GOLD" -draw "rectangle 6,0 15,2" -fill '#ffffff50' -draw "line 8,0 8,2" "$WORK/slider_bottom.png"
"$C" -size "${W[scroller]}x4" xc:none -fill "$GOLD" -draw "rectangle 6,0 15,3" -fill '#ffffff50' -draw "line 8,0 8,3" \
    -fill "$GOLD_DARK" -draw "line 10,1 11,1" "$WORK/scroller.png"
tga32 "$WORK/slider_top.png" scroll_slider_top.tga
tga32 "$WORK/slider_bottom.png" scroll_slider_bottom.tga
tga32 "$WORK/scroller.png" scroller.tga

# --- options screen -------------------------------------------------------
# Folder box (22,217,331,22); check box cell at (22,237,20,20) where the
# string table puts it (INT_ICON_CB_X 22), its frame inset to clear the box
# above; buttons of 85 x 26 at x 55, 145 and 234, y 265.
titled_panel 'Installation options' "$WORK/opt.png"
"$C" "$WORK/opt.png" -draw "$(card 14 168 359 302)" \
    -draw "fill '#070c16' stroke '$GOLD_DARK' stroke-width 1 rectangle 22,217 352,238" \
    -draw "fill '#070c16' stroke '$GOLD_DARK' stroke-width 1 roundrectangle 25,241 39,255 2,2" \
    -draw "$(plate 55 265 85 26)" -draw "$(plate 145 265 85 26)" -draw "$(plate 234 265 85 26)" \
    -font "$SERIF_I" -pointsize 13 -fill "$PARCH" -annotate +24+96 'The demo is almost ready to be written' \
    -annotate +24+114 'onto your computer.' -font "$SANS" -pointsize 10 -fill "$MUTED" \
    -annotate +24+140 'Type a folder or browse for one, then press Install.' \
    -fill none -stroke "$GOLD_DARK" -draw "roundrectangle 372,72 532,360 8,8" -stroke none \
    -draw "fill '#121d33' roundrectangle 373,73 531,359 8,8 \
           fill '#0b1322' polygon 420,330 412,250 430,236 470,236 488,250 480,330 \
           fill '#2c4a72' polygon 424,322 418,262 482,262 476,322 \
           fill '#3d5f8c' rectangle 436,224 464,236 \
           $(quill 452 232 14 1.3 "$PARCH") \
           fill '#e6d7bd30' roundrectangle 392,338 512,352 4,4" \
    "$WORK/back_options.png"
tga24 "$WORK/back_options.png" back_options.tga
# Caption at (21,173): heading, the folder label, the check box label and
# the three button labels centred on their plates.
LABELS=(); label_c 333 76 98 "$SANS_B" 11 'Install'; label_c 333 166 98 "$SANS_B" 11 'Browse'
label_c 333 255 98 "$SANS_B" 11 'Back'
"$C" -size 333x122 xc:none -gravity NorthWest \
    -font "$SANS_B" -pointsize 9 -fill "$GOLD" -annotate +13+2 'WHERE SHALL THE TALE BE KEPT?' \
    -font "$SANS" -pointsize 11 -fill "$PARCH" -annotate +2+27 'Install folder:' \
    -annotate +25+67 'Create a shortcut on the desktop' \
    -gravity North "${LABELS[@]}" "$WORK/text_options.png"
tga32 "$WORK/text_options.png" text_options.tga
hover over_options
# Tick: a gold check mark inside the frame of the check box cell.
"$C" -size "$(size text_icon_on)" xc:none -fill none -stroke "$GOLD" -strokewidth 2.5 \
    -draw "polyline 6,11 9,14 15,6" "$WORK/tick.png"
tga32 "$WORK/tick.png" text_icon_on.tga
"$C" -size 2x14 xc:"$GOLD" "$WORK/caret.png"
tga32 "$WORK/caret.png" edit_cursor.tga

# --- progress screen ------------------------------------------------------
# Slide window (51,85,453,211), bar trough (28,324,344,23), cancel (388,318,127,32).
titled_panel 'Installing the Quillmark Demo' "$WORK/prog.png"
"$C" "$WORK/prog.png" \
    -draw "fill '#00000060' rectangle 51,89 508,301" \
    -draw "fill '#0b1322' stroke '$GOLD_DARK' stroke-width 1 rectangle 47,81 504,296 stroke none" \
    -draw "fill none stroke '#5a4a2a' rectangle 44,78 507,299" \
    -draw "fill '#070c16' stroke '#3d5f8c' stroke-width 1 roundrectangle 26,322 373,348 6,6" \
    -draw "$(plate 388 318 127 32)" \
    "$WORK/back_progress.png"
tga24 "$WORK/back_progress.png" back_progress.tga
LABELS=(); label_c 157 78 9 "$SANS_B" 12 'Cancel'
"$C" -size 157x34 xc:none -gravity North "${LABELS[@]}" "$WORK/text_progress.png"
tga32 "$WORK/text_progress.png" text_progress.tga
hover over_progress
# The bar: deep amber to gold, dark enough under its right end for the light
# percentage text drawn there.
"$C" -size "${H[progress_bar]}x${W[progress_bar]}" gradient:"$GOLD"-'#8a5a14' -rotate 90 \
    \( -size "$(size progress_bar)" xc:none -fill white -draw "roundrectangle 0,0 343,22 6,6" \) \
    -alpha off -compose copy_opacity -composite -compose over \
    -fill '#ffffff40' -draw "roundrectangle 3,2 340,9 4,4" "$WORK/bar.png"
tga32 "$WORK/bar.png" progress_bar.tga

# --- slides: ten scenes of the game, 453 x 211 ----------------------------
# A scene on a sky gradient, with a title band along the bottom.
slide() { # number sky-top sky-bottom scene-mvg chapter title line
    "$C" -size "$(size "$1")" gradient:"$2"-"$3" -draw "$4" \
        -draw "fill '#0b1322c8' rectangle 0,164 452,210 fill '$GOLD_DARK' rectangle 0,164 452,164" \
        -font "$SANS_B" -pointsize 9 -fill "$GOLD" -annotate +14+178 "$5" \
        -font "$SERIF_B" -pointsize 16 -fill "$PARCH" -annotate +14+199 "$6" \
        -font "$SERIF_I" -pointsize 10 -fill "$MUTED" -gravity NorthEast -annotate +14+169 "$7" \
        "$WORK/slide$1.png"
    tga24 "$WORK/slide$1.png" "$1.tga"
}
boat() { echo "fill '$PARCH' polygon $1,$2 $(($1+30)),$2 $(($1+24)),$(($2+8)) $(($1+6)),$(($2+8)) polygon $(($1+14)),$(($2-1)) $(($1+14)),$(($2-22)) $(($1+27)),$(($2-1))"; }
tree() { echo "fill '$3' polygon $1,$2 $(($1-16)),$(($2+40)) $(($1+16)),$(($2+40)) polygon $1,$(($2+18)) $(($1-22)),$(($2+62)) $(($1+22)),$(($2+62))"; }
gear() { # cx cy r colour
    echo "push graphic-context fill none stroke '$4' stroke-width 7 stroke-dasharray 5,5 circle $1,$2 $(($1+$3)),$2 pop graphic-context \
          fill none stroke '$4' stroke-width 5 circle $1,$2 $(($1+$3-5)),$2 fill '$4' stroke none circle $1,$2 $(($1+4)),$2"
}
slide 01 '#f4b26a' '#5b3a5e' "fill '#f1c453' circle 300,118 300,88 fill '#1d3557' rectangle 0,118 452,164 \
    fill '#2c4a72' rectangle 0,126 452,130 rectangle 40,142 452,144 fill '#3b2a2a' rectangle 330,110 452,122 \
    rectangle 340,122 344,160 rectangle 400,122 404,160 $(boat 60 120) $(boat 150 132) $(boat 230 116)" \
    'CHAPTER ONE' 'The Inkwell Harbour' 'Launch a fleet of folded-paper boats'
slide 02 '#3a2818' '#0e0906' "fill '#5a3f26' roundrectangle 30,20 110,164 40,40 roundrectangle 150,20 230,164 40,40 \
    roundrectangle 270,20 350,164 40,40 fill '#f1c45330' circle 70,60 70,20 circle 190,60 190,20 circle 310,60 310,20 \
    fill '#2a1b10' rectangle 0,130 452,164 fill '#8a5a14' rectangle 120,118 330,130 \
    fill '$PARCH' polygon 150,116 210,116 205,106 155,106 fill '$GOLD' circle 380,100 380,92 fill '#e6d7bd' rectangle 377,108 383,130 \
    $(quill 240 116 20 0.35 "$PARCH")" \
    'CHAPTER TWO' 'The Scriptorium of Vell' 'Learn the old letters from the monks'
slide 03 '#d9ead0' '#4f7a4a' "$(tree 40 40 '#2f5a35') $(tree 110 30 '#3a6b40') $(tree 330 34 '#2f5a35') \
    $(tree 400 44 '#3a6b40') fill '#6b8f5a' rectangle 0,140 452,164 $(tree 200 70 '#24472b') $(tree 260 62 '#2f5a35') \
    fill '$PARCH' polygon 150,40 162,34 158,46 polygon 180,26 190,22 186,32 polygon 290,50 302,44 298,56" \
    'CHAPTER THREE' 'The Paper Forest' 'Every leaf is a page, every page a path'
slide 04 '#0b1322' '#2c4a72' "fill '$GOLD' circle 30,20 31,20 circle 90,50 91,50 circle 150,14 151,14 circle 260,30 261,30 \
    circle 330,12 331,12 circle 420,40 421,40 circle 380,80 381,80 circle 60,90 61,90 \
    font '$SERIF_B' font-size 30 fill '#f1c453c0' text 110,70 'Q' text 190,52 'M' text 280,84 'K' font-size 20 text 230,40 'a' text 360,60 'r' \
    stroke '#f1c45360' stroke-width 1 line 124,62 194,44 line 214,44 282,74 \
    fill '#0b1322' stroke none polygon 0,164 0,130 90,110 200,134 320,104 452,128 452,164" \
    'CHAPTER FOUR' 'Letters in the Sky' 'Join the stars to spell the lost words'
slide 05 '#6a7a52' '#1a2418' "fill '#2a3a24' rectangle 0,120 452,164 fill '#0b1322' circle 120,138 150,142 circle 300,146 326,148 \
    circle 200,126 214,128 fill '#0b132280' circle 380,132 400,134 stroke '#8fa35a' stroke-width 2 \
    line 30,164 26,96 line 40,164 44,104 line 60,164 58,110 line 410,164 414,92 line 424,164 420,108 \
    stroke none fill '$GOLD' circle 250,70 250,64 fill '#f1c45340' circle 250,70 250,50" \
    'CHAPTER FIVE' 'The Blotted Marsh' 'Mind the ink pools: they remember you'
slide 06 '#4a3420' '#120c08' "$(gear 110 80 44 "$GOLD_DARK") $(gear 190 118 28 "$GOLD") $(gear 330 70 52 '#8a5a14') \
    $(gear 402 134 24 "$GOLD_DARK") $(quill 250 150 30 0.8 "$PARCH")" \
    'CHAPTER SIX' 'Clockwork Quills' 'Wind them up, and they write for you'
slide 07 '#5a1a14' '#1a0806' "fill '#2a0c08' polygon 0,0 452,0 452,40 380,30 320,60 240,36 160,58 80,30 0,46 \
    fill '#c0392b' roundrectangle 90,40 100,80 5,5 roundrectangle 250,36 258,70 4,4 roundrectangle 350,50 360,96 5,5 \
    fill '#7a1f16' rectangle 0,140 452,164 fill '#c0392b' circle 140,140 156,140 circle 300,146 312,146 \
    fill '$GOLD' circle 210,110 210,102 fill '#f1c45330' circle 210,110 210,80 fill '#3b2a2a' rectangle 206,118 214,164" \
    'CHAPTER SEVEN' 'The Sealing-Wax Mines' 'Dig for the red seals of the old kings'
slide 08 '#a8c8e0' '#e6d7bd' "fill '#2c4a72' rectangle 0,120 452,164 fill '#3d5f8c' rectangle 0,128 452,132 \
    fill '$PARCH' polygon 180,164 180,70 196,76 210,66 226,78 244,68 262,80 280,70 452,70 452,164 \
    fill '#c9b48f' polygon 180,164 180,70 196,76 210,66 226,78 244,68 262,80 262,164 \
    stroke '#8a7a5a' stroke-width 1 line 300,90 430,90 line 300,104 420,104 line 300,118 432,118 line 300,132 400,132 stroke none \
    fill '#0b1322' polygon 60,44 70,40 80,44 70,48 polygon 110,30 118,27 126,30 118,33" \
    'CHAPTER EIGHT' 'The Margins of the World' 'Where the map ends, you keep writing'
slide 09 '#7a4a6a' '#1a1430' "fill '#e6d7bd' circle 360,40 360,22 \
    fill '#0b1322' polygon 80,164 80,90 96,90 96,78 104,78 104,90 130,90 130,60 138,48 146,60 146,90 170,90 170,74 \
    180,74 180,90 200,90 200,164 fill '#f1c453' rectangle 136,70 140,80 rectangle 110,100 114,108 rectangle 176,100 180,108 \
    fill '#120e24' polygon 0,164 0,140 60,130 200,138 300,126 452,142 452,164" \
    'CHAPTER NINE' 'The Last Chapter' 'The tower keeps the final page'
slide 10 '#1d3557' '#0b1322' "$(quill 70 140 18 1.1 "$PARCH") font '$SERIF_B' font-size 38 fill '#00000090' text 102,92 'QUILLMARK' \
    fill '$GOLD' text 100,90 'QUILLMARK' font '$SERIF_I' font-size 14 fill '$PARCH' text 104,118 'Thank you for trying the demo'" \
    'THE END OF THE DEMO' 'The full tale arrives this winter' 'www.quillmark-demo.example'

# Every picture of the catalogue must have been drawn.
for name in "${!W[@]}"; do
    [ -f "$OUT/$name.tga" ] || { echo "make-art: $name.tga is in the catalogue but was not drawn" >&2; exit 1; }
done
