# Twenty unattended installations and removals in a row on one prefix, as a
# shop that prepares computers would run them: each installs completely and is
# removed completely, and the prefix ends as it started: the maker's folder above
# the game's and the maker's registry key go with the game, as they came with it.
source "$(dirname "$0")/lib.sh"

private_desktop
remove_installation
at_exit remove_installation
medium=$(fresh_medium batch)
uninstaller_win="$(winepath -w "$install_dir" | tr -d '\r')\\uninstall.exe"
start="$QUILL_E2E_WORK/batch-start.txt" last="$QUILL_E2E_WORK/batch-last.txt"
prefix_state "$start"

for round in $(seq 20); do
    silent_setup "$medium" /S /EXTRAS=NONE
    [ "$code" = 0 ] || fail "installation $round ended with $code: $(cat "$console")"
    [ -f "$install_dir/Quillmark.exe" ] && [ -f "$desktop_link" ] && [ "$(ls "$start_menu" | wc -l)" = 5 ] ||
        fail "installation $round is incomplete"
    silent_uninstall "$uninstaller_win" "$install_dir"
    [ "$code" = 0 ] || fail "removal $round ended with $code: $(cat "$console")"
done
prefix_state "$last"
expect_same_state "$start" "$last" "the rounds left the prefix changed"
echo "silent_batch: ok"
