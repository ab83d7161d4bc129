# The ways back and the cancel: declining the licence and going back from the
# options lead to the welcome screen; then a folder typed into the options
# screen, without the desktop shortcut, is installed into and cancelled during
# the progress screen: answered No the installation goes on, answered Yes it is
# rolled back and the welcome screen comes back with nothing left behind.
# The medium carries 16000 small files of game data in a few packages: however
# fast the disk, making a file under Wine takes a trip to its server, so the
# extraction lasts several seconds and the percentage creeps, also on a machine
# that reads a gigabyte in half a second.
source "$(dirname "$0")/lib.sh"
: "${QUILL_MKMEDIUM:?}" "${QUILL_GAMEFILES:?}"

work="$QUILL_E2E_WORK/options_cancel"
remove_work() { rm -rf "$work"; }
remove_work
at_exit remove_work
private_desktop
remove_installation
at_exit remove_installation

# The demo's game with 32 folders of 500 frames of 2 KB, on a medium split into
# 8 MB packages.
mkdir -p "$work/game" "$work/source"
cp -r "$QUILL_GAMEFILES/." "$work/game/"
for i in $(seq 32); do
    mkdir -p "$work/game/Frames/take$i"
    head -c $((500 * 2048)) /dev/urandom | split -b 2048 -a 3 - "$work/game/Frames/take$i/frame"
done
cp -r "$QUILL_MEDIUM/." "$work/source/"
rm -f "$work/source"/*.exe "$work/source"/*.dll "$work/source"/*.rar "$work/source"/*.pak
"$QUILL_MKMEDIUM" --medium "$work/source" --game "$work/game" --programs "$QUILL_MEDIUM" --split 8 \
    --out "$work/medium" >/dev/null || fail "mkmedium did not make the large medium"
rm -rf "$work/game" "$work/source"
packages=$(ls "$work/medium" | grep -c -E '\.(rar|pak)$')
[ "$packages" -ge 4 ] || fail "the large medium has only $packages packages"

# The folder to type: only characters the edit box takes.
typed_dir="$work/Typed Folder"
typed_win="Z:${typed_dir//\//\\}"
[[ "$typed_win" =~ ^[A-Za-z0-9_\\/\ :-]+$ ]] || fail "the work folder has characters the edit box refuses: $typed_win"

# The percentage in setup's title, e.g. "12.3"; empty without one.
title_percent() { driver title __INSTALL_WND__ | sed -n 's/^.* - *\([0-9.]*\) %$/\1/p'; }

start_on_welcome "$work/medium" options_cancel-1-welcome

click_panel 100 206                      # install
click_panel 358 340                      # decline
declined=$(panel_shot options_cancel-2-declined)
expect_unchanged "$welcome" "$declined" "declining did not show the welcome screen as before"

click_panel 100 206                      # install
click_panel 196 340                      # accept
options=$(panel_shot options_cancel-3-options)
expect_changed "$welcome" "$options" "welcome -> options"
click_panel 276 277                      # back
back=$(panel_shot options_cancel-4-back)
expect_unchanged "$welcome" "$back" "back did not show the welcome screen as before"

click_panel 100 206                      # install
click_panel 196 340                      # accept
click_panel 187 228                      # into the folder box
xdotool key End
for _ in $(seq 100); do xdotool key BackSpace; done
xdotool type --delay 20 "$typed_win"
click_panel 32 247                       # the desktop shortcut box: off
typed=$(panel_shot options_cancel-5-options-typed)
n=$(differing "$options" "$typed")
[ "$n" -gt 100 ] || fail "typing a folder and untick the shortcut changed only $n pixels"

# Installing, cancelled twice. The extraction takes a few seconds and stands still
# while the cancel question is open, so the first cancel is clicked as soon as the
# title carries a percentage, and the next as soon as the title shows that the
# installation went on after No.
click_cancel() { xdotool mousemove $((panel_x + 451)) $((panel_y + 334)) click 1; }
(driver wait-title __INSTALL_WND__ " %" 30000 >/dev/null && click_cancel) &
title_reader=$!
sleep 1
click_panel 97 278                       # install
wait "$title_reader" || fail "no percentage in the title"
question=$(driver box "Quillmark Demo Install" 10000) || fail "cancel did not ask"
[[ "$question" == *"cancel the installation"* ]] || fail "unexpected question: $question"
[ -d "$typed_dir" ] || fail "setup does not install into the typed folder"
screenshot options_cancel-6-question >/dev/null
before=$(title_percent)
[ -n "$before" ] || fail "no percentage in the title while asking: $(driver title __INSTALL_WND__)"

# Answered No: the installation goes on.
driver press "Quillmark Demo Install" 7 || fail "cannot answer No"
after=$before
for _ in $(seq 100); do
    after=$(title_percent)
    awk -v a="$before" -v b="$after" 'BEGIN { exit !(b > a) }' && break
done
click_cancel
echo "progress: $before % before No, $after % after"
awk -v a="$before" -v b="$after" 'BEGIN { exit !(b > a && b < 100) }' ||
    fail "the installation did not go on after No ($before % -> $after %)"
question=$(driver box "Quillmark Demo Install" 10000) || fail "no question at the cancel after No"
[[ "$question" == *"cancel the installation"* ]] || fail "unexpected question after No: $question"
screenshot options_cancel-7-question-again >/dev/null

# Answered Yes: rolled back, the welcome screen again.
driver press "Quillmark Demo Install" 6 || fail "cannot answer Yes"
for _ in $(seq 600); do [ -e "$typed_dir" ] || break; sleep 0.1; done
[ ! -e "$typed_dir" ] || fail "the typed folder was not rolled back: $(ls -A "$typed_dir")"
sleep 2
cancelled=$(panel_shot options_cancel-8-cancelled)
expect_unchanged "$welcome" "$cancelled" "the cancel did not lead back to the welcome screen"
[ "$(driver title __INSTALL_WND__)" = "Quillmark Demo Setup" ] || fail "the title still reads a percentage"
! reg_has "$product_key" || fail "the cancelled installation left the product key"
[ ! -e "$desktop_link" ] || fail "the cancelled installation left a desktop shortcut"
[ ! -e "$start_menu" ] || fail "the cancelled installation left the Start menu folder"

click_panel 100 270                      # exit
expect_exit 0
echo "options_cancel: ok"
