#!/usr/bin/env bash
# Makes the fuzz targets' seeds from our test data and from files made the way the
# tests and the demo make theirs: one folder per target below OUT.
#   make-seeds.sh OUT MKRAR
# unrar-rar4 and unrar-rar5 get every archive of tests/data/rar of their format (cut to
# the targets' input size), volume sets joined by the target's separator, and
# self-extractors cut to a short program part; RAR 4 also archives made by mkrar.
set -euo pipefail
out=$1
mkrar=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
data=$here/tests/data/rar
maxlen=65536
separator='=VOLUME='
rm -rf "$out"
mkdir -p "$out"/{resstringtable,guiimage,mpegaudio,installlog,mediumcheck,textencoding,pictureinput,unrar-rar4,unrar-rar5}
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-seeds.XXXXXX")
trap 'rm -rf "$work"' EXIT

# --- the string table and the install log -------------------------------------
cp "$here/demo/medium/Media/strings.txt" "$out/resstringtable/demo-strings.txt"
printf 'KEY\tvalue with trailing blanks  \r\nINT_NUMBER -2147483649\nEMPTY\n%s value\n' \
    "$(printf 'K%.0s' $(seq 1 2100))" >"$out/resstringtable/edges.txt"
printf 'C:\\Games\\Quillmark\\game.exe\r\nC:\\Games\\Quillmark\\Levels\\\r\nLevels\\level1.dat\r\nsupport.txt\r\n' \
    >"$out/installlog/install.log"
printf '..\\..\\Windows\\win.ini\r\n. .\\x\r\nnot ended' >"$out/installlog/hostile.log"

# --- pictures: uncompressed TGA as an image editor saves them ------------------
convert=$(command -v convert-im6.q16 || command -v convert)
"$convert" -size 8x6 gradient:red-blue -depth 8 -compress None -type TrueColor "$work/rgb24.tga"
"$convert" -size 7x5 xc:'rgba(40,200,90,0.5)' -depth 8 -compress None "$work/rgba32.tga"
"$convert" -size 5x3 gradient:white-black -depth 8 -compress None -type Grayscale "$work/grey.tga"
cp "$work"/*.tga "$out/guiimage/"

# --- publishers' PNG and JPEG pictures -------------------------------------------
"$convert" -size 9x7 gradient:red-blue -depth 8 "$out/pictureinput/rgb.png"
"$convert" -size 6x5 xc:'rgba(40,200,90,0.5)' "$out/pictureinput/rgba.png"
"$convert" -size 8x4 gradient:white-black -type Palette "$out/pictureinput/palette.png"
"$convert" -size 8x8 gradient:yellow-navy -quality 80 "$out/pictureinput/baseline.jpg"
"$convert" -size 16x16 gradient:white-black -interlace JPEG -colorspace Gray "$out/pictureinput/progressive-grey.jpg"

# --- texts in the encodings publishers save them in -------------------------------
strings=$here/demo/medium/Media/strings.txt
cp "$strings" "$out/textencoding/utf8.txt"
{ printf '\xef\xbb\xbf'; printf 'TXT_GAME_ICON_DESCR Quillmark \xc3\xa9dition \xe2\x80\x93 d\xc3\xa9mo\r\n'; } >"$out/textencoding/utf8-bom.txt"
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$out/textencoding/utf8-bom.txt" | tail -c +3; } >"$out/textencoding/utf16le.txt"
iconv -f UTF-8 -t UTF-16 "$out/textencoding/utf8-bom.txt" >"$out/textencoding/utf16.txt"
printf 'MSG_MB \xcc\xc1\r\nLNG_CHARSET RUSSIAN_CHARSET\r\n' >"$out/textencoding/cp1251.txt"

# --- sounds: the win tests' MP3 files ------------------------------------------
sh "$here/tests/win/make-test-sounds.sh" "$work/sounds" >/dev/null
for f in "$work"/sounds/*.mp3 "$work"/sounds/Media/*.mp3; do cp "$f" "$out/mpegaudio/$(basename "$f")"; done

# --- a medium folder as one input (format in tests/fuzz/mediumcheck_fuzz.cpp) ---
{
    cat "$here/demo/medium/Media/strings.txt"
    printf '\n@@ Media/license.txt\n'; cat "$here/demo/medium/Media/license.txt"
    printf '\n@@ Readme.txt\nRead me.'
    for picture in text_install text_play text_license text_options text_progress edit_cursor; do
        printf '\n@@ Media/%s.tga\n' "$picture"; cat "$work/rgba32.tga"
    done
    printf '\n@@ Media/scroll_slider_top.tga\n'; cat "$work/rgb24.tga"
    printf '\n@@ Media/edit_cursor.png\n'; cat "$out/pictureinput/rgba.png"
    printf '\n@@ Media/text_icon_on.jpg\n'; cat "$out/pictureinput/baseline.jpg"
    printf '\n@@ Media/Ok.mp3\n'; cat "$work/sounds/Media/ScrShot.mp3"
} >"$out/mediumcheck/medium"

# --- archives --------------------------------------------------------------------
# The format of a file's first marker: 4, 5, or nothing.
format_of() {
    local offset
    offset=$(LC_ALL=C grep -obUaP 'Rar!\x1a\x07[\x00\x01]' "$1" | head -1 | cut -d: -f1) || true
    [ -n "$offset" ] || return 0
    local byte
    byte=$(od -An -tu1 -j $((offset + 6)) -N1 "$1" | tr -d ' ')
    echo "$((byte == 0 ? 4 : 5)) $offset"
}

# add TARGET NAME FILE...: the files as one input (volumes joined).
add() {
    local target=$1 name=$2; shift 2
    local seed=$out/$target/$name first=1 f
    : >"$seed"
    for f in "$@"; do
        [ $first -eq 1 ] || printf '%s' "$separator" >>"$seed"
        cat "$f" >>"$seed"
        first=0
    done
    # The fuzzer reads no more than its input size: a longer archive keeps its headers
    # and the start of its data.
    [ "$(stat -c %s "$seed")" -le $maxlen ] || truncate -s $maxlen "$seed"
}

declare -A sets=()
for f in "$data"/*; do
    case $f in *.md | *.tsv) continue ;; esac
    read -r format offset <<<"$(format_of "$f")" || true
    [ -n "${format:-}" ] || continue
    base=$(basename "$f")
    target=unrar-rar$format
    case $base in
    *.part[0-9]*.rar) sets["$target ${base%.part*}"]+="$f " ;;
    *.r[0-9][0-9] | rarfile_rar3-old.rar) sets["$target ${base%.*}"]+="$f " ;;
    *)
        if [ "$offset" -gt 4096 ]; then
            # A self-extractor: the program's first 4 KB, then the archive.
            { head -c 4096 "$f"; tail -c +$((offset + 1)) "$f"; } >"$work/$base"
            add "$target" "$base" "$work/$base"
        else
            add "$target" "$base" "$f"
        fi ;;
    esac
    format=""
done
for key in "${!sets[@]}"; do
    read -r target name <<<"$key"
    # The first volume first: "x.part1.rar" sorts so by itself, "x.rar" before "x.r00".
    # shellcheck disable=SC2086
    add "$target" "$name-volumes" $(printf '%s\n' ${sets[$key]} | sort | awk '/\.rar$/ && !/\.part[0-9]+\.rar$/ { print; next } { rest = rest $0 "\n" } END { printf "%s", rest }')
done

# Archives made as the tests make theirs: stored files, folders, links, volumes.
mkdir -p "$work/game/Levels/Empty"
printf 'Quillmark %s\n' $(seq 1 200) >"$work/game/readme.txt"
seq 1 3000 >"$work/game/Levels/level1.dat"
: >"$work/game/empty.txt"
ln -s ../readme.txt "$work/game/Levels/link"
"$mkrar" "$out/unrar-rar4/mkrar-stored.rar" "$work/game" >/dev/null
"$mkrar" --corrupt-crc readme.txt "$out/unrar-rar4/mkrar-bad-crc.rar" "$work/game" >/dev/null
"$mkrar" --volume-size 4000 "$work/vols.rar" "$work/game" >/dev/null
add unrar-rar4 mkrar-volumes $(ls "$work"/vols.part*.rar | sort)
touch "$out/stamp"
