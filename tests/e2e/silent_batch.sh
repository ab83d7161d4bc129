# Twenty unattended installations and removals in a row on one prefix, as a
# shop that prepares computers would run them: each installs completely and is
# removed completely, and the prefix ends as it started. The first round may add
# only the maker's empty folder above the game's folder and its empty registry
# key, which the uninstaller keeps by design (it removes the game's folder and
# the product's key, not the maker's); no round adds anything more.
source "$(dirname "$0")/lib.sh"

private_desktop
remove_installation
at_exit remove_installation
medium=$(fresh_medium batch)
uninstaller_win="$(winepath -w "$install_dir" | tr -d '\r')\\uninstall.exe"
start="$QUILL_E2E_WORK/batch-start.txt" first="$QUILL_E2E_WORK/batch-first.txt" last="$QUILL_E2E_WORK/batch-last.txt"
prefix_state "$start"

for round in $(seq 20); do
    silent_setup "$medium" /S /EXTRAS=NONE
    [ "$code" = 0 ] || fail "installation $round ended with $code: $(cat "$console")"
    [ -f "$install_dir/Quillmark.exe" ] && [ -f "$desktop_link" ] && [ "$(ls "$start_menu" | wc -l)" = 5 ] ||
        fail "installation $round is incomplete"
    silent_uninstall "$uninstaller_win" "$install_dir"
    [ "$code" = 0 ] || fail "removal $round ended with $code: $(cat "$console")"
    [ "$round" = 1 ] && prefix_state "$first"
done
prefix_state "$last"
expect_same_state "$first" "$last" "the rounds after the first left something behind"

added=$(LC_ALL=C comm -13 "$start" "$first")
removed=$(LC_ALL=C comm -23 "$start" "$first")
[ -z "$removed" ] || fail "the first round took away: $removed"
expected=$(printf '%s\n' "$(dirname "${install_dir#"$WINEPREFIX/"}")" 'HKEY_CURRENT_USER\SOFTWARE\Orvanta' | LC_ALL=C sort)
[ "$added" = "$expected" ] || fail "the first round left: $added"
echo "silent_batch: ok"
