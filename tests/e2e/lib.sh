# Shared steps of the end-to-end tests; sourced by each test script.
set -euo pipefail

: "${QUILL_MEDIUM:?}" "${QUILL_DRIVER:?}" "${QUILL_ARTIFACTS:?}" "${QUILL_E2E_WORK:?}"
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
convert=/usr/bin/convert-im6.q16
[ -x "$convert" ] || convert=/usr/bin/convert

# Runs the rest of the test with the private Wine prefix and a display.
if [ -z "${QUILL_IN_WINE:-}" ]; then
    export QUILL_IN_WINE=1
    exec "$root/scripts/with-wine" bash "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; exit 1; }

# Whatever the test started in the prefix ends with it; then the steps that
# at_exit registered undo what the test left in the prefix.
exit_steps=()
at_exit() { exit_steps+=("$1"); }
run_exit_steps() {
    wineserver -k 2>/dev/null || true
    local step
    for step in "${exit_steps[@]}"; do "$step" || true; done
    wineserver -k 2>/dev/null || true
}
trap run_exit_steps EXIT

driver() { wine "$QUILL_DRIVER" "$@" | tr -d '\r'; }

# A fresh copy of the medium in the test's own folder; prints its path.
fresh_medium() {
    local dir="$QUILL_E2E_WORK/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    cp -r "$QUILL_MEDIUM/." "$dir/"
    echo "$dir"
}

# Starts setup.exe from a medium in the background; its pid is in $setup_pid.
# The medium is a disc in drive D:, as on a player's computer. (Wine names a
# folder by the drive that maps the longest part of its path; from Z:, which
# maps the host's root, the shell cannot read the volume's label and Wine says
# so on the terminal.)
start_setup() {
    ln -sfn "$(cd "$1" && pwd)" "$WINEPREFIX/dosdevices/d:"
    (cd "$1" && exec wine setup.exe "${@:2}") &
    setup_pid=$!
}

# Waits for setup's process to end and checks its exit code.
expect_exit() {
    local want=$1 code=0
    for _ in $(seq 300); do kill -0 "$setup_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$setup_pid" 2>/dev/null && { kill "$setup_pid"; fail "setup did not end"; }
    wait "$setup_pid" || code=$?
    [ "$code" = "$want" ] || fail "setup ended with $code, expected $want"
}

# Saves a screenshot of the whole screen as an artifact; prints its path.
screenshot() {
    local file="$QUILL_ARTIFACTS/$1.png"
    import -window root "$file"
    echo "$file"
}

# The colour of one pixel of a picture as "r,g,b".
pixel() {
    "$convert" "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# --- the panel ------------------------------------------------------------

# Waits for setup's window and sets panel_x and panel_y, the screen position of
# the panel's top-left corner.
find_panel() {
    local rect x y w h
    rect=$(driver wait-window __INSTALL_WND__ "${1:-30000}") || fail "no setup window"
    read -r x y w h <<<"$rect"
    panel_x=$(( x + (w - 550) / 2 )); panel_y=$(( y + (h - 400) / 2 ))
}

# Moves to a panel point and clicks there.
click_panel() {
    xdotool mousemove $((panel_x + $1)) $((panel_y + $2))
    sleep 0.3
    xdotool click 1
    sleep 1
}

# Parks the pointer where no screen highlights anything, then keeps the screen
# and the cut-out panel as artifacts; prints the path of the panel.
panel_shot() {
    xdotool mousemove $((panel_x + 450)) $((panel_y + 10))
    sleep 1
    local shot panel="$QUILL_ARTIFACTS/$1-panel.png"
    shot=$(screenshot "$1")
    "$convert" "$shot" -crop "550x400+$panel_x+$panel_y" +repage "$panel"
    echo "$panel"
}

compare=/usr/bin/compare-im6.q16
[ -x "$compare" ] || compare=/usr/bin/compare

# The number of pixels in which two pictures differ.
# Pixels that differ between two pictures; with a third argument (WxH+X+Y) only
# within that part of them.
differing() {
    if [ $# -gt 2 ]; then
        local a="$QUILL_E2E_WORK/differ-a.png" b="$QUILL_E2E_WORK/differ-b.png"
        "$convert" "$1" -crop "$3" +repage "$a"
        "$convert" "$2" -crop "$3" +repage "$b"
        set -- "$a" "$b"
    fi
    "$compare" -metric AE "$1" "$2" null: 2>&1 || true
}

# Starts setup on a medium (with the options after the name) and waits for its
# first screen; the panel's picture is kept under the given name and its path
# left in $welcome.
start_on_welcome() {
    start_setup "$1" "${@:3}"
    find_panel
    sleep 1
    welcome=$(panel_shot "$2")
}

expect_changed() {
    local n
    n=$(differing "$1" "$2")
    [ "$n" -gt 5000 ] || fail "$3: only $n pixels changed"
}

# Two shots of the same screen: at most a few pixels may differ.
# Fails unless the pictures agree (within the part WxH+X+Y when given as the
# fourth argument).
expect_unchanged() {
    local n
    n=$(differing "$1" "$2" ${4:+"$4"})
    [ "$n" -lt 50 ] || fail "$3 ($n pixels differ)"
}

# --- what an installation leaves in the prefix ----------------------------

wine_user=$(id -un)
wine_home="$WINEPREFIX/drive_c/users/$wine_user"
install_dir="$WINEPREFIX/drive_c/Program Files/Orvanta/Quillmark Demo"
start_menu="$wine_home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orvanta/Quillmark Demo"
# Wine links the desktop folder to a folder of the Unix home.
desktop_link="$(readlink -f "$wine_home/Desktop")/Quillmark Demo.lnk"
# Every prefix on this machine shares that Unix folder, so a test that looks for
# the shortcut gives its prefix a desktop of its own for the run: another
# worktree's test can then neither make nor take the link under it.
private_desktop() {
    local desktop="$wine_home/Desktop"
    if [ -L "$desktop" ]; then
        mv "$desktop" "$desktop.shared"
        mkdir "$desktop"
        at_exit restore_desktop
    fi
    desktop_link="$desktop/Quillmark Demo.lnk"
}
restore_desktop() {
    rm -rf "$wine_home/Desktop"
    mv "$wine_home/Desktop.shared" "$wine_home/Desktop"
    desktop_link=
}
temp_dir="$wine_home/Temp"
product_key='HKCU\SOFTWARE\Orvanta\Quillmark Demo'
apps_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark Demo'
runonce_key='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Runonce'
runonce_value=__QuillmarkAdditionalInstallation__
extra_markers=("$temp_dir/Quillmark-InkFontsSetup.txt" "$temp_dir/Quillmark-QuillRuntimeSetup.txt")

reg_has() { wine reg query "$@" >/dev/null 2>&1; }

# Answers the running uninstaller whose boxes bear the caption: Yes to its
# question (with a second argument the screen is kept under that name while it
# asks), OK to its closing message, which it prints.
answer_uninstaller() { # caption [screenshot]
    local question
    question=$(driver box "$1" 20000) || fail "the uninstaller did not ask"
    [[ "$question" == *"remove the "* ]] || fail "unexpected question: $question"
    [ -z "${2:-}" ] || screenshot "$2" >/dev/null
    driver press "$1" 6 || fail "cannot answer Yes"
    local closing
    closing=$(driver box "$1" 20000) || fail "no closing message"
    driver press "$1" 1 || fail "cannot close the closing message"
    echo "$closing"
}

# Starts the uninstaller in a game folder, as its Start-menu shortcut does,
# answers its question Yes and closes its closing message, which it prints.
uninstall_from() { # folder caption
    (cd "$1" && exec wine uninstall.exe) &
    answer_uninstaller "$2"
}

# Waits until the uninstaller's helper has removed a folder; fails naming what
# is left in it.
expect_removed() { # folder
    for _ in $(seq 100); do [ -e "$1" ] || return 0; sleep 0.2; done
    fail "$1 is still there: $(ls -A "$1")"
}

# Removes every trace of an installation of the demo, with the publisher's
# folders and key when nothing else is in them, so that the prefix is as before.
remove_installation() {
    rm -rf "$install_dir" "$start_menu" "$desktop_link" "${extra_markers[@]}"
    rmdir "$(dirname "$install_dir")" "$(dirname "$start_menu")" 2>/dev/null || true
    wine reg delete "$product_key" /f >/dev/null 2>&1 || true
    wine reg delete "$apps_key" /f >/dev/null 2>&1 || true
    wine reg delete "$runonce_key" /v "$runonce_value" /f >/dev/null 2>&1 || true
    if ! wine reg query 'HKCU\SOFTWARE\Orvanta' /s 2>/dev/null | grep -qi 'Orvanta\\'; then
        wine reg delete 'HKCU\SOFTWARE\Orvanta' /f >/dev/null 2>&1 || true
    fi
}

# After setup started the uninstaller from the installed screen: answers its question
# Yes (the question kept as the screenshot named), closes its closing message and
# checks that the installation left nothing behind.
confirm_uninstall() {
    local done_text
    done_text=$(answer_uninstaller "Quillmark Demo Uninstall" "$1")
    # The failure message says "nothing was removed": only the success text will do.
    [[ "$done_text" == *"was removed from your computer"* ]] || fail "the uninstaller reports: $done_text"
    expect_removed "$install_dir"
    [ ! -e "$desktop_link" ] || fail "the desktop shortcut is still there"
    [ ! -e "$start_menu" ] || fail "the Start menu folder is still there"
    ! reg_has "$product_key" || fail "the product key is still in the registry"
    ! reg_has "$apps_key" || fail "the game is still in Settings > Apps"
}

# --- unattended runs --------------------------------------------------------

# Runs setup.exe from a medium in drive D: with the given options and waits for
# it to end. Its exit code is left in $code, what it wrote to the console (a
# pipe, as from a script) in $console.
console="$QUILL_E2E_WORK/console.txt"
silent_setup() {
    local medium
    medium=$(cd "$1" && pwd)
    shift
    ln -sfn "$medium" "$WINEPREFIX/dosdevices/d:"
    code=0
    (cd "$medium" && wine setup.exe "$@" </dev/null >"$console" 2>/dev/null) || code=$?
}

# Runs an uninstall.exe (a Windows path) with /S from a folder without a string
# table, as a script would, and waits until its batch file has removed the
# program and the game's folder (a Unix path) and then itself.
silent_uninstall() {
    code=0
    (cd "$QUILL_E2E_WORK" && wine "$1" /S </dev/null >"$console" 2>/dev/null) || code=$?
    [ -z "${2:-}" ] && return
    for _ in $(seq 150); do
        [ -e "$2" ] || compgen -G "$temp_dir/QuillmarkUninstall-*.bat" >/dev/null || return 0
        sleep 0.2
    done
    fail "the uninstaller's batch file did not finish: $(ls -A "$2" 2>/dev/null)"
}

# Everything a run could leave in the prefix, sorted: the files and folders
# outside Windows' own, and the current user's software keys and values (one
# line each, the key before every value), without the keys Wine keeps for itself.
prefix_state() {
    {
        find "$WINEPREFIX/drive_c" -path "$WINEPREFIX/drive_c/windows" -prune -o -print | sed "s|^$WINEPREFIX/||"
        wine reg query 'HKCU\SOFTWARE' /s 2>/dev/null | tr -d '\r' |
            awk '/^HKEY_/ { key = $0; print; next } NF { print key " |" $0 }' | grep -v '^HKEY_CURRENT_USER\\SOFTWARE\\Wine'
    } | LC_ALL=C sort >"$1"
}

# Fails unless two prefix states are the same, showing what differs.
expect_same_state() {
    diff "$1" "$2" >&2 || fail "$3"
}

# A Windows path as setup's ANSI code page (1252 here) spells it in files.
ansi() { iconv -f UTF-8 -t CP1252 <<<"$1"; }
