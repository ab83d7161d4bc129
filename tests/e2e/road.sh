# The whole road of one installation on the demo medium: welcome, licence,
# options, the progress slide show with the percentage in the title, finishing
# with both extra installers (the first one's question answered Yes), the
# relaunched setup on the installed screen, play, and the uninstaller started
# from the installed screen removing everything again. Each screen is kept as a
# screenshot.
source "$(dirname "$0")/lib.sh"

private_desktop
remove_installation
at_exit remove_installation

medium=$(fresh_medium road)
start_on_welcome "$medium" road-1-welcome

click_panel 100 206                      # install
licence=$(panel_shot road-2-licence)
expect_changed "$welcome" "$licence" "welcome -> licence"

click_panel 190 340                      # accept
options=$(panel_shot road-3-options)
expect_changed "$licence" "$options" "licence -> options"

# While it installs (a second or so) the title carries the percentage; the
# driver keeps the screen of the moment it reads one.
driver wait-title __INSTALL_WND__ " %" 30000 "Z:$QUILL_E2E_WORK/progress.bmp" >"$QUILL_E2E_WORK/title" &
title_reader=$!
sleep 1
click_panel 97 278                       # install
wait "$title_reader" || fail "no percentage in the title"
title=$(cat "$QUILL_E2E_WORK/title")
[[ "$title" =~ ^"Quillmark Demo Setup - "" "?[0-9]+\.[0-9]" %"$ ]] || fail "the title reads '$title'"
echo "progress: $title"
# The title is set the moment the progress starts, which may be a frame before
# the panel shows it, so the title is the evidence and the picture an artifact.
"$convert" "$QUILL_E2E_WORK/progress.bmp" "$QUILL_ARTIFACTS/road-4-progress.png"
"$convert" "$QUILL_E2E_WORK/progress.bmp" -crop "550x400+$panel_x+$panel_y" +repage "$QUILL_ARTIFACTS/road-4-progress-panel.png"

# Finishing: the first extra installer asks, the second runs without asking.
question=$(driver box "Quillmark Demo Install" 60000) || fail "no question for the first extra installer"
[[ "$question" == *"ink fonts"* ]] || fail "unexpected question: $question"
screenshot road-5-question >/dev/null
driver press "Quillmark Demo Install" 6 || fail "cannot answer Yes"
expect_exit 0
for marker in "${extra_markers[@]}"; do
    [ "$(wc -l <"$marker" 2>/dev/null)" = 1 ] || fail "$(basename "$marker") was not written once"
done
[ "$(od -An -tx1 "$install_dir/addinstf.bin" | tr -d ' \n')" = "$(printf '01%.0s' $(seq 16))" ] ||
    fail "addinstf.bin does not hold sixteen handled flags"
for file in Quillmark.exe Support.txt uninstall.exe install.log Media/strings.txt Extras/InkFontsSetup.exe Levels; do
    [ -e "$install_dir/$file" ] || fail "$file is not installed"
done
[ -f "$desktop_link" ] || fail "no desktop shortcut"
[ "$(ls "$start_menu" | wc -l)" = 5 ] || fail "the Start menu folder does not hold five links"
reg_has "$product_key" /v InstallDir || fail "no InstallDir in the registry"
reg_has "$apps_key" /v UninstallString || fail "the game is not in Settings > Apps"

# The relaunched setup opens on the installed screen.
find_panel 30000
sleep 2
installed=$(panel_shot road-6-installed)
expect_changed "$welcome" "$installed" "welcome -> installed"

click_panel 186 196                      # play
driver wait-window QuillmarkDemoGame 20000 >/dev/null || fail "the game did not start"
driver wait-gone __INSTALL_WND__ 10000 || fail "setup stayed after play"
screenshot road-7-game >/dev/null
driver close QuillmarkDemoGame
driver wait-gone QuillmarkDemoGame 10000 || fail "the game did not close"

# Setup again, uninstall from the installed screen.
start_setup "$medium"
find_panel
sleep 1
again=$(panel_shot road-8-installed-again)
# The installed screen picks one of two backgrounds at random; they differ only
# in the picture on the right, so the menu side is compared.
expect_unchanged "$installed" "$again" "the second start did not show the installed screen" 340x400+0+0
click_panel 186 260                      # uninstall
expect_exit 0
confirm_uninstall road-9-uninstall
echo "road: ok"
