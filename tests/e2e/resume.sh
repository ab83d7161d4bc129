# The resumed run after Windows restarted during the second extra installer:
# the game is installed and registered, "addinstf.bin" holds the flags of
# installers 0 and 1 (each flag is stored before its installer runs) and the
# Runonce entry is there. "-AdditionalInstall" continues with the installers
# not yet handled (none named), finishes and relaunches setup on the installed
# screen, leaving the first run's entry in Settings > Apps as it was. Then, with
# every flag set, the next logon's run ends at once; the uninstaller started as
# the Start-menu shortcut does removes the game and that entry; and without a
# registration setup -AdditionalInstall ends with code 1.
source "$(dirname "$0")/lib.sh"

remove_installation
at_exit remove_installation
medium=$(fresh_medium resume)
medium_win=$(winepath -w "$medium" | tr -d '\r')
install_win=$(winepath -w "$install_dir" | tr -d '\r')

# The installation as the first run left it: files extracted, uninstaller
# copied, log and registry written, the two flags stored.
mkdir -p "$install_dir"
cp -r "$QUILL_GAMEFILES/." "$install_dir/"
mkdir -p "$install_dir/Media" && cp "$medium/Media/strings.txt" "$install_dir/Media/"  # mkmedium packs it
cp "$medium/uninstall.exe" "$install_dir/"
{
    printf '%s\\\r\n' "$install_win"
    (cd "$install_dir" && find . -mindepth 1 | sed 's|^\./||; s|/|\\|g') | sed 's/$/\r/'
} >"$install_dir/install.log"
printf '\001\001' >"$install_dir/addinstf.bin"
wine reg add "$product_key" /v InstallDir /d "$install_win" /f >/dev/null
wine reg add "$product_key" /v InstallFrom /d "${medium_win:0:2}" /f >/dev/null
wine reg add "$runonce_key" /v "$runonce_value" /d "\"$medium_win\\setup.exe\" -AdditionalInstall" /f >/dev/null
wine reg add "$apps_key" /v InstallDate /d 20000101 /f >/dev/null

start_setup "$medium" -AdditionalInstall
expect_exit 0
[ "$(od -An -tx1 "$install_dir/addinstf.bin" | tr -d ' \n')" = "$(printf '01%.0s' $(seq 16))" ] ||
    fail "addinstf.bin does not hold sixteen handled flags"
for marker in "${extra_markers[@]}"; do
    [ ! -e "$marker" ] || fail "$(basename "$marker") ran again in the resumed run"
done
grep -q "Quillmark.exe" "$install_dir/install.log" || fail "the resumed run lost the first run's log"
[ "$(ls "$start_menu" | wc -l)" = 5 ] || fail "the Start menu links were not rewritten"
reg_has "$runonce_key" /v "$runonce_value" || fail "the resumption entry was not rewritten"
wine reg query "$apps_key" /v InstallDate | grep -q 20000101 || fail "the resumed run registered the game again"

# The relaunched setup shows the installed screen (compared below with the
# welcome screen of an unregistered game).
find_panel 30000
sleep 2
installed=$(panel_shot resume-installed)
driver close __INSTALL_WND__
driver wait-gone __INSTALL_WND__ 10000 || fail "the relaunched setup did not close"

# The next logon: every flag is set, so setup ends at once without a window.
start_setup "$medium" -AdditionalInstall
expect_exit 0
driver wait-window __INSTALL_WND__ 500 >/dev/null && fail "a window opened although all was handled"

# The Start-menu shortcut starts the uninstaller in the installation folder,
# where it reads the texts that the installation brought along.
done_text=$(uninstall_from "$install_dir" "Quillmark Demo Uninstall")
[[ "$done_text" == *"was removed from your computer"* ]] || fail "the uninstaller reports: $done_text"
expect_removed "$install_dir"
! reg_has "$apps_key" || fail "the game is still in Settings > Apps"

# Without a registration there is nothing to resume.
start_setup "$medium" -AdditionalInstall
expect_exit 1
start_setup "$medium"
find_panel
sleep 2
welcome=$(panel_shot resume-welcome)
expect_changed "$installed" "$welcome" "installed -> welcome"
driver close __INSTALL_WND__
expect_exit 0
echo "resume: ok"
