# Two games made with these programs on one computer: the demo medium and a
# second medium with an identity of its own (name, maker, registry key,
# shortcuts), its texts in UTF-8 with a byte-order mark and CRLF and its pictures
# as PNG. Installed one after the other, each opens on its own welcome screen
# and has its own key and shortcuts; uninstalling the second leaves the first
# whole.
source "$(dirname "$0")/lib.sh"

other_dir="$WINEPREFIX/drive_c/Program Files/Inkwell Games/Inkwell Tales"
other_menu="$wine_home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Inkwell Games/Inkwell Tales"
other_key='HKCU\SOFTWARE\Inkwell Games\Inkwell Tales'
private_desktop
other_link="$(dirname "$desktop_link")/Inkwell Tales.lnk"
remove_other() {
    rm -rf "$other_dir" "$other_menu" "$other_link"
    rmdir "$(dirname "$other_dir")" "$(dirname "$other_menu")" 2>/dev/null || true
    wine reg delete 'HKCU\SOFTWARE\Inkwell Games' /f >/dev/null 2>&1 || true
}
remove_installation
remove_other
at_exit remove_installation
at_exit remove_other

# The second medium: the demo's sources with another identity and no extra
# installers, texts in UTF-8 with BOM and CRLF, every picture as a PNG.
src="$QUILL_E2E_WORK/two_products-source"
rm -rf "$src" && cp -r "$QUILL_MEDIUM_SOURCE" "$src"
{
    printf '\xEF\xBB\xBF'
    grep -v '^\(STR_APP_TITLE\|PATH_GAME_DIR\|PATH_ADD_INSTALL\|MSG_CONFIRM_ADD_INSTALL\|MSG_CONFIRM_UNINSTALL\)' \
        "$QUILL_MEDIUM_SOURCE/Media/strings.txt"
    echo "STR_APP_TITLE Inkwell Tales Setup"
    echo "STR_PRODUCT_NAME Inkwell Tales"
    echo "STR_PUBLISHER Inkwell Games"
    echo "PATH_GAME_DIR Inkwell Games\\Inkwell Tales"
    echo "MSG_CONFIRM_UNINSTALL Voulez-vous supprimer Inkwell Tales, édition complète ?"
} | sed 's/$/\r/' >"$src/Media/strings.txt"
for tga in "$src"/Media/*.tga; do
    # The converter reads TGA rows top-down whatever the header says; -flip undoes that.
    "$convert" "$tga" -flip "${tga%.tga}.png" && rm "$tga"
done
other="$QUILL_E2E_WORK/two_products-medium"
"$QUILL_MKMEDIUM" --medium "$src" --game "$QUILL_GAMEFILES" --programs "$QUILL_PROGRAMS" --split 8 \
    --out "$other" >"$QUILL_E2E_WORK/two_products-mkmedium.log" || fail "mkmedium refused the second medium"

# The demo first, to the end of its extra installers.
demo=$(fresh_medium two_products-demo)
start_on_welcome "$demo" two_products-1-demo-welcome
demo_welcome=$welcome
click_panel 100 206
click_panel 190 340
click_panel 97 278
driver box "Quillmark Demo Install" 60000 >/dev/null || fail "no question for the first extra installer"
driver press "Quillmark Demo Install" 6 || fail "cannot answer Yes"
expect_exit 0
find_panel 30000
sleep 2
click_panel 186 282                      # the relaunched setup's exit
expect_exit 0

# The second game opens on its own welcome screen, not on the demo's installed one.
start_on_welcome "$other" two_products-2-other-welcome
expect_unchanged "$demo_welcome" "$welcome" "the second medium does not open on its welcome screen" 340x400+0+0
[ "$(driver title __INSTALL_WND__)" = "Inkwell Tales Setup" ] || fail "wrong title: $(driver title __INSTALL_WND__)"
click_panel 100 206
click_panel 190 340
click_panel 97 278
sleep 2
expect_exit 0
find_panel 30000
sleep 2
other_installed=$(panel_shot two_products-3-other-installed)
expect_changed "$welcome" "$other_installed" "the second game did not relaunch on its installed screen"
click_panel 186 282
expect_exit 0

for file in Quillmark.exe Support.txt Levels Extras/InkFontsSetup.exe; do
    [ -e "$install_dir/$file" ] || fail "the demo lacks $file"
    [ -e "$other_dir/$file" ] || fail "the second game lacks $file"
done
reg_has "$product_key" /v InstallDir || fail "no demo key"
reg_has "$other_key" /v InstallDir || fail "no key of the second game"
[ -f "$desktop_link" ] || fail "no demo desktop shortcut"
[ -f "$other_link" ] || fail "no desktop shortcut of the second game"
[ "$(ls "$other_menu" | wc -l)" = 5 ] || fail "the second game's Start menu folder does not hold five links"

# Uninstalling the second game: its caption and its texts, and the demo stays whole.
demo_files=$(cd "$install_dir" && find . | sort | md5sum)
(cd "$other_dir" && exec wine uninstall.exe) &
question=$(driver box "Inkwell Tales Uninstall" 20000 | iconv -f CP1252 -t UTF-8) || fail "no question of the second game's uninstaller"
[[ "$question" == *"Inkwell Tales, édition complète ?"* ]] || fail "the uninstaller asks: $question"
driver press "Inkwell Tales Uninstall" 6 || fail "cannot answer Yes"
driver box "Inkwell Tales Uninstall" 20000 >/dev/null || fail "no closing message"
driver press "Inkwell Tales Uninstall" 1 || fail "cannot close the closing message"
for _ in $(seq 100); do [ -e "$other_dir" ] || break; sleep 0.2; done
[ ! -e "$other_dir" ] || fail "the second game's folder is still there"
[ ! -e "$other_link" ] && [ ! -e "$other_menu" ] || fail "the second game's shortcuts are still there"
! reg_has "$other_key" || fail "the second game's key is still there"
[ "$(cd "$install_dir" && find . | sort | md5sum)" = "$demo_files" ] || fail "uninstalling the second game touched the demo"
[ -f "$desktop_link" ] && [ "$(ls "$start_menu" | wc -l)" = 5 ] || fail "the demo lost its shortcuts"
reg_has "$product_key" /v InstallDir || fail "the demo lost its key"

# The demo still opens on its installed screen.
start_setup "$demo"
find_panel
sleep 1
again=$(panel_shot two_products-4-demo-installed)
expect_changed "$demo_welcome" "$again" "the demo no longer opens on its installed screen"
click_panel 186 282
expect_exit 0
echo "two_products: ok"
