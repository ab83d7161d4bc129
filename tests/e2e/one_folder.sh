# One installation, one folder: a medium whose game folder holds a typographic
# apostrophe and an en dash (letters of the ANSI code page that the OEM code page
# lacks), its texts written in UTF-8, installs every game file, exact, into that
# one folder; the uninstaller started there removes all of it.
source "$(dirname "$0")/lib.sh"

folder_name="Quill’s Demo – Gold"
install_dir="$WINEPREFIX/drive_c/Program Files/Orvanta/$folder_name"
start_menu="$wine_home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orvanta/$folder_name"
lookalike="$WINEPREFIX/drive_c/Program Files/Orvanta/Quill's Demo - Gold"
private_desktop
remove_installation
at_exit remove_installation
remove_lookalike() { rm -rf "$lookalike"; }
at_exit remove_lookalike

# The demo's medium sources with the folder changed, in UTF-8 with a byte-order mark.
src="$QUILL_E2E_WORK/one_folder-source"
rm -rf "$src" && cp -r "$QUILL_MEDIUM_SOURCE" "$src"
{ printf '\xEF\xBB\xBF'; sed "s|^PATH_GAME_DIR .*|PATH_GAME_DIR Orvanta\\\\$folder_name|" \
    "$QUILL_MEDIUM_SOURCE/Media/strings.txt"; } >"$src/Media/strings.txt"
medium="$QUILL_E2E_WORK/one_folder-medium"
"$QUILL_MKMEDIUM" --medium "$src" --game "$QUILL_GAMEFILES" --programs "$QUILL_PROGRAMS" --split 8 \
    --out "$medium" >"$QUILL_E2E_WORK/one_folder-mkmedium.log" || fail "mkmedium refused the medium"

start_on_welcome "$medium" one_folder-1-welcome
click_panel 100 206                      # install
click_panel 190 340                      # accept
panel_shot one_folder-2-options >/dev/null
click_panel 97 278                       # install into the default folder
question=$(driver box "Quillmark Demo Install" 60000) || fail "no question for the first extra installer"
driver press "Quillmark Demo Install" 6 || fail "cannot answer Yes"
expect_exit 0

[ ! -e "$lookalike" ] || fail "files went to the look-alike folder: $(ls -A "$lookalike")"
[ -d "$install_dir" ] || fail "nothing in $install_dir"
# Every game file, byte for byte; besides them only what setup itself adds, and
# the medium's own string table.
cmp "$medium/Media/strings.txt" "$install_dir/Media/strings.txt" || fail "the medium's string table is not installed"
diff -r "$QUILL_GAMEFILES" "$install_dir" >"$QUILL_E2E_WORK/one_folder-diff" || true
grep -v "^Only in $install_dir: \(install.log\|uninstall.exe\|addinstf.bin\|Media\)$" "$QUILL_E2E_WORK/one_folder-diff" &&
    fail "the installation differs from the game files"
LC_ALL=C grep -qF $'Quill\x92s Demo \x96 Gold\\' "$install_dir/install.log" || fail "the log does not name the folder"
[ -f "$start_menu/Uninstall Quillmark Demo.lnk" ] || fail "no uninstall shortcut in $start_menu"

# The relaunched setup; leave it, then uninstall as the Start-menu shortcut does.
find_panel 30000
sleep 2
click_panel 186 282                      # exit
expect_exit 0
done_text=$(uninstall_from "$install_dir" "Quillmark Demo Uninstall")
[[ "$done_text" == *"was removed from your computer"* ]] || fail "the uninstaller reports: $done_text"
for _ in $(seq 100); do [ -e "$install_dir" ] || break; sleep 0.2; done
[ ! -e "$install_dir" ] || fail "left behind: $(cd "$install_dir" && find . | head)"
[ ! -e "$start_menu" ] || fail "the Start menu folder is still there"
! reg_has "$product_key" || fail "the product key is still there"
echo "one_folder: ok"
