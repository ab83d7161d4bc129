# The unattended road without a click: setup.exe /S installs the demo medium
# into a folder with blanks and letters beyond ASCII, every game file byte for
# byte, with the shortcuts, registry values and extra installers asked for, the
# progress and result on the console and every step in the log. /S again
# reinstalls over it in place; /D= elsewhere and a second setup are refused
# without a change. uninstall.exe /S removes everything, and says so by its exit
# code when there is nothing to remove. Without /S, /D= and /NOSHORTCUT fill the
# options screen. /? lists the options in a box.
source "$(dirname "$0")/lib.sh"

private_desktop
remove_installation
at_exit remove_installation
folder_win='C:\Spiele für Käthe\Quill Demo'
folder="$WINEPREFIX/drive_c/Spiele für Käthe/Quill Demo"
remove_folder() { rm -rf "$(dirname "$folder")"; }
at_exit remove_folder
medium=$(fresh_medium silent)
log="$QUILL_E2E_WORK/silent.log"
log_win=$(winepath -w "$log" | tr -d '\r')

silent_setup "$medium" /S "/LOG=$log_win" /D="$folder_win"
[ "$code" = 0 ] || fail "setup /S ended with $code: $(cat "$console")"
grep -q '^Installing: 100 %' "$console" || fail "no progress on the console: $(cat "$console")"
grep -q '^Result: 0 (installed)' "$console" || fail "no result on the console: $(cat "$console")"
for step in "Free space:" "Extracting game.rar" "Extracting data4.pak" "Extra installer Extras\\InkFontsSetup.exe: not run" \
    "Extra installer Extras\\QuillRuntimeSetup.exe: run" "Result: 0"; do
    grep -qF "$step" "$log" || fail "the log lacks '$step'"
done

# Every game file byte for byte, the medium's string table that mkmedium packs
# with them, and nothing else but what finishing adds.
(cd "$QUILL_GAMEFILES" && find . -type f) | while read -r file; do
    cmp -s "$QUILL_GAMEFILES/$file" "$folder/$file" || fail "$file differs or is missing"
done
cmp -s "$medium/Media/strings.txt" "$folder/Media/strings.txt" || fail "the string table differs or is missing"
extra=$(cd "$folder" && find . -type f | sort | comm -23 - <(cd "$QUILL_GAMEFILES" && find . -type f | sort) | tr '\n' ' ')
[ "$extra" = "./Media/strings.txt ./addinstf.bin ./install.log ./uninstall.exe " ] || fail "unexpected files: $extra"
[ "$(od -An -tx1 "$folder/addinstf.bin" | tr -d ' \n')" = "$(printf '01%.0s' $(seq 16))" ] ||
    fail "addinstf.bin does not hold sixteen handled flags"
[ ! -e "${extra_markers[0]}" ] || fail "the extra installer that asks a question ran"
[ -e "${extra_markers[1]}" ] || fail "the extra installer without a question did not run"

# Shortcuts and registry values.
link_of() { driver link "$(winepath -w "$1" | tr -d '\r')"; }
[ "$(link_of "$desktop_link")" = "$folder_win\\Quillmark.exe"$'\n'"$folder_win" ] ||
    fail "the desktop shortcut says: $(link_of "$desktop_link")"
[ "$(ls "$start_menu" | wc -l)" = 5 ] || fail "the Start menu folder does not hold five links"
[ "$(link_of "$start_menu/Uninstall Quillmark Demo.lnk" | head -n1)" = "$folder_win\\uninstall.exe" ] ||
    fail "the uninstall shortcut points elsewhere"
# reg.exe writes the console's code page (437 here).
reg_value() {
    wine reg query "$product_key" /v "$1" 2>/dev/null | iconv -f CP437 -t UTF-8 | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
[ "$(reg_value InstallDir)" = "$folder_win" ] || fail "InstallDir is $(reg_value InstallDir)"
[ "$(reg_value InstallFrom)" = "D:" ] || fail "InstallFrom is $(reg_value InstallFrom)"

# Again over the installed game, options in other spellings: the damaged file
# is replaced, and the log lists the same entries as before.
cp "$folder/install.log" "$QUILL_E2E_WORK/first.log"
printf 'damaged' >"$folder/Quillmark.exe"
silent_setup "$medium" -s -noshortcut -Extras=None
[ "$code" = 0 ] || fail "the reinstallation ended with $code: $(cat "$console")"
cmp -s "$QUILL_GAMEFILES/Quillmark.exe" "$folder/Quillmark.exe" || fail "the reinstallation did not replace a file"
cmp -s "$QUILL_E2E_WORK/first.log" "$folder/install.log" || fail "the reinstallation changed the log's entries"

# Refused without a change: another folder, and a second setup beside a running one.
before="$QUILL_E2E_WORK/before.txt" after="$QUILL_E2E_WORK/after.txt"
prefix_state "$before"
silent_setup "$medium" /S /D=C:\\Elsewhere\\Quillmark
[ "$code" = 9 ] || fail "/D= elsewhere ended with $code"
grep -qF "$(ansi "$folder_win") and is reinstalled only there" "$console" || fail "no reason: $(cat "$console")"
start_setup "$medium"
find_panel
silent_setup "$medium" /S
[ "$code" = 8 ] || fail "a second setup ended with $code"
driver close __INSTALL_WND__
expect_exit 0
prefix_state "$after"
expect_same_state "$before" "$after" "a refused run changed the prefix"

# Unattended removal, from a folder without the string table.
silent_uninstall "$folder_win\\uninstall.exe" "$folder"
[ "$code" = 0 ] || fail "uninstall /S ended with $code"
grep -q "was removed from" "$console" || fail "the uninstaller reports: $(cat "$console")"
[ ! -e "$desktop_link" ] || fail "the desktop shortcut is still there"
[ ! -e "$start_menu" ] || fail "the Start menu folder is still there"
! reg_has "$product_key" || fail "the product key is still in the registry"
! reg_has "$runonce_key" /v "$runonce_value" || fail "the resumption entry is still in the registry"
silent_uninstall "$(winepath -w "$medium/uninstall.exe" | tr -d '\r')"
[ "$code" = 1 ] || fail "uninstall /S without an installation ended with $code"

# Without /S the options fill the options screen: installing from there goes
# into the folder of /D= without a desktop shortcut.
options_folder="$WINEPREFIX/drive_c/Quill Options"
remove_options_folder() { rm -rf "$options_folder"; }
at_exit remove_options_folder
start_on_welcome "$medium" silent-options-welcome "/NOSHORTCUT" "/D=C:\Quill Options"
click_panel 100 206 # install
click_panel 190 340 # accept
click_panel 97 278  # install
driver box "Quillmark Demo Install" 60000 >/dev/null || fail "no question for the first extra installer"
driver press "Quillmark Demo Install" 7
expect_exit 0
[ -f "$options_folder/Quillmark.exe" ] || fail "the window's road did not install into the folder of /D="
[ ! -e "$desktop_link" ] || fail "/NOSHORTCUT made a desktop shortcut"
driver wait-window __INSTALL_WND__ 30000 >/dev/null && driver close __INSTALL_WND__
driver wait-gone __INSTALL_WND__ 10000 || fail "the relaunched setup did not close"
silent_uninstall 'C:\Quill Options\uninstall.exe' "$options_folder"
[ "$code" = 0 ] || fail "uninstall /S after the window's road ended with $code"

# /? lists the options and the exit codes.
start_setup "$medium" "/?"
usage=$(driver box "Quillmark Demo Install" 20000) || fail "no box for /?"
for text in "/EXTRAS=" "/NOSHORTCUT" "/LOG=file" "11"; do
    [[ "$usage" == *"$text"* ]] || fail "/? does not list $text: $usage"
done
driver press "Quillmark Demo Install" 1
expect_exit 0
echo "silent: ok"
