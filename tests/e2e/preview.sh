# The preview of the demo medium (mkmedium preview, which runs setup.exe
# /PREVIEW) shows each screen as the installer itself shows it: compared with
# screenshots of the same screens on a walk through setup. The menu screens are
# compared on their menu side (the background on the right is chosen at random),
# the progress screen outside its slides and bar (which move), the others whole.
source "$(dirname "$0")/lib.sh"

preview="$QUILL_E2E_WORK/preview-shots"
rm -rf "$preview"
"$QUILL_MKMEDIUM" preview --medium "$QUILL_MEDIUM" --out "$preview" >"$QUILL_E2E_WORK/preview-mkmedium.log" ||
    fail "mkmedium preview failed: $(cat "$QUILL_E2E_WORK/preview-mkmedium.log")"
for screen in welcome licence options progress installed contact-sheet; do
    [ -f "$preview/$screen.png" ] || fail "no preview of $screen"
    cp "$preview/$screen.png" "$QUILL_ARTIFACTS/preview-$screen.png"
done

remove_installation
at_exit remove_installation
medium=$(fresh_medium preview)
start_on_welcome "$medium" preview-1-welcome
expect_unchanged "$preview/welcome.png" "$welcome" "the welcome preview differs" 340x400+0+0
click_panel 100 206                      # install
licence=$(panel_shot preview-2-licence)
expect_unchanged "$preview/licence.png" "$licence" "the licence preview differs"
click_panel 190 340                      # accept
options=$(panel_shot preview-3-options)
expect_unchanged "$preview/options.png" "$options" "the options preview differs"

driver wait-title __INSTALL_WND__ " %" 30000 >/dev/null &
title_reader=$!
sleep 1
click_panel 97 278                       # install
wait "$title_reader" || fail "no percentage in the title"
progress=$(panel_shot preview-4-progress)
expect_unchanged "$preview/progress.png" "$progress" "the progress preview differs above the slides" 550x80+0+0
expect_unchanged "$preview/progress.png" "$progress" "the progress preview differs at cancel" 157x34+373+318
xdotool mousemove $((panel_x + 451)) $((panel_y + 334)) click 1
driver box "Quillmark Demo Install" 10000 >/dev/null || fail "cancel did not ask"
driver press "Quillmark Demo Install" 6 || fail "cannot answer Yes"
sleep 2
click_panel 100 270                      # exit
expect_exit 0

# The installed screen: a registration of a complete installation is enough.
fake_dir="$WINEPREFIX/drive_c/quill-preview-installed"
mkdir -p "$fake_dir" && touch "$fake_dir/install.log" "$fake_dir/uninstall.exe"
remove_fake() { rm -rf "$fake_dir"; }
at_exit remove_fake
wine reg add "$product_key" /v InstallDir /d 'C:\quill-preview-installed' /f >/dev/null
start_setup "$medium"
find_panel
sleep 1
installed=$(panel_shot preview-5-installed)
expect_unchanged "$preview/installed.png" "$installed" "the installed preview differs" 340x400+0+0
click_panel 186 282                      # exit
expect_exit 0
echo "preview: ok"
