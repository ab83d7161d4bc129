# mkmedium refuses a medium damaged in each way it checks, with exit code 1 and
# a line that names the file or key and says what is wrong; when packing, it
# writes nothing. The damages are made on copies of the finished demo medium.
# Runs natively: mkmedium is a tool of this machine.
set -euo pipefail
: "${QUILL_MEDIUM:?}" "${QUILL_MKMEDIUM:?}" "${QUILL_GAMEFILES:?}" "${QUILL_E2E_WORK:?}"
convert=/usr/bin/convert-im6.q16
[ -x "$convert" ] || convert=/usr/bin/convert
work="$QUILL_E2E_WORK/damaged"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A fresh copy of the finished medium; prints its path.
copy_medium() {
    rm -rf "$work/$1"
    cp -r "$QUILL_MEDIUM" "$work/$1"
    echo "$work/$1"
}

# Replaces the text of one key in a medium's strings.txt (no key: removes the line).
set_text() {
    local file="$1/Media/strings.txt" key=$2
    if [ $# -gt 2 ]; then
        KEY=$key TEXT=$3 awk '$1 == ENVIRON["KEY"] { print ENVIRON["KEY"] " " ENVIRON["TEXT"]; next } { print }' \
            "$file" >"$file.new"
    else
        KEY=$key awk '$1 != ENVIRON["KEY"]' "$file" >"$file.new"
    fi
    mv "$file.new" "$file"
}

# Checks a medium: it must be refused with a line that holds every given text.
expect_refused() {
    local medium=$1 code=0 output
    shift
    output=$("$QUILL_MKMEDIUM" --check "$medium" 2>&1) || code=$?
    [ "$code" = 1 ] || fail "mkmedium ended with $code for $(basename "$medium"): $output"
    for text in "$@"; do
        grep -qF -- "$text" <<<"$output" || fail "$(basename "$medium"): no line with '$text' in: $output"
    done
    echo "$(basename "$medium"): $(grep -F -- "${@: -1}" <<<"$output" | head -n1)"
}

"$QUILL_MKMEDIUM" --check "$QUILL_MEDIUM" >/dev/null || fail "the intact demo medium is refused"

m=$(copy_medium missing-key)
set_text "$m" MSG_ARE_YOU_SURE
expect_refused "$m" "MSG_ARE_YOU_SURE: has no text"

m=$(copy_medium printf-conversion)
set_text "$m" MSG_CONFIRM_UNINSTALL "Remove 100%s of the Quillmark Demo?"
expect_refused "$m" "MSG_CONFIRM_UNINSTALL" "printf conversion" "Write %% for a percent sign"

m=$(copy_medium long-unit)
set_text "$m" MSG_MB "megabytes, each of them one million and forty-eight thousand bytes"
expect_refused "$m" "MSG_MB: is 66 characters long"

m=$(copy_medium bad-charset)
set_text "$m" LNG_CHARSET ansi
expect_refused "$m" "LNG_CHARSET: is" "no character set name"

m=$(copy_medium word-number)
set_text "$m" INT_ICON_CB_X twenty
expect_refused "$m" "INT_ICON_CB_X: is" "not a whole number"

m=$(copy_medium full-pool)
for i in $(seq 200); do printf 'TXT_FILLER_%d %0100d\n' "$i" 0; done >>"$m/Media/strings.txt"
expect_refused "$m" "text pool" "Shorten or remove texts"

m=$(copy_medium wrong-size)
"$convert" "$m/Media/05.tga" -resize '400x200!' "$m/Media/05.tga"
expect_refused "$m" "Media/05.tga" "is 400 x 200 pixels; it must be 453 x 211"

m=$(copy_medium rle-picture)
"$convert" "$m/Media/back_license.tga" -compress RLE "$m/Media/back_license.tga"
expect_refused "$m" "Media/back_license.tga" "is run-length compressed"

m=$(copy_medium missing-picture)
rm "$m/Media/scroller.tga"
expect_refused "$m" "Media/scroller.tga" "is missing"

m=$(copy_medium truncated-sound)
head -c 300 "$QUILL_MEDIUM/Media/Ok.mp3" >"$m/Media/Ok.mp3"
expect_refused "$m" "Ok.mp3: holds no complete MPEG Layer III audio"

# Two damages at once: each is named.
m=$(copy_medium two-damages)
set_text "$m" URL_HOMEPAGE
rm "$m/Media/Present.mp3"
expect_refused "$m" "URL_HOMEPAGE: has no text" "Present.mp3: is missing"

# Packing a damaged medium writes nothing.
m=$(copy_medium pack-source)
rm -f "$m"/*.exe "$m"/*.dll "$m"/*.rar "$m"/*.pak
set_text "$m" MSG_ARE_YOU_SURE
code=0
output=$("$QUILL_MKMEDIUM" --medium "$m" --game "$QUILL_GAMEFILES" --programs "$QUILL_MEDIUM" \
    --out "$work/out" 2>&1) || code=$?
[ "$code" = 1 ] || fail "packing a damaged medium ended with $code: $output"
grep -qF "MSG_ARE_YOU_SURE: has no text" <<<"$output" || fail "packing did not name the missing key: $output"
[ ! -e "$work/out" ] || fail "packing a damaged medium wrote $work/out"
echo "damaged_medium: ok"
