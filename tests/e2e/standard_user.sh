# A player who may not write to Program Files, as a standard user on Windows 10
# and 11 may not: with the prefix's Program Files folder mounted read-only (which
# needs root; the test skips without), the options screen offers the user's own
# programs folder and the installation goes there, leaving Program Files alone.
# Finishing registers the game in Settings > Apps with every value; the
# uninstaller started as Settings starts it, with the system folder current,
# removes the game, that entry and itself.
source "$(dirname "$0")/lib.sh"

program_files="$WINEPREFIX/drive_c/Program Files"
user_dir="$wine_home/AppData/Local/Programs/Orvanta/Quillmark Demo"

remove_user_installation() {
    install_dir=$user_dir remove_installation
    rmdir "$(dirname "$user_dir")" 2>/dev/null || true
}
unmount_program_files() { umount "$program_files"; }

private_desktop
remove_installation
remove_user_installation
at_exit remove_user_installation
mount --bind "$program_files" "$program_files" 2>/dev/null || { echo "standard_user: cannot mount (not root?)"; exit 77; }
at_exit unmount_program_files
mount -o remount,ro,bind "$program_files" || fail "cannot make Program Files read-only"
touch "$program_files/probe" 2>/dev/null && fail "Program Files is still writable"

medium=$(fresh_medium standard_user)
start_on_welcome "$medium" standard_user-1-welcome
click_panel 100 206                      # install
click_panel 190 340                      # accept
options=$(panel_shot standard_user-2-options)
"$convert" "$options" -crop 331x22+22+217 +repage -scale 300% "$QUILL_ARTIFACTS/standard_user-2-folder.png"

# The folder in the edit box is where the installation goes.
driver wait-title __INSTALL_WND__ " %" 30000 >/dev/null &
title_reader=$!
sleep 1
click_panel 97 278                       # install
wait "$title_reader" || fail "no percentage in the title: $(driver box 'Quillmark Demo Install' 100 || true)"
driver box "Quillmark Demo Install" 60000 >/dev/null || fail "no question for the first extra installer"
driver press "Quillmark Demo Install" 7 || fail "cannot answer No"
expect_exit 0
for file in Quillmark.exe Support.txt uninstall.exe install.log Media/strings.txt Levels; do
    [ -e "$user_dir/$file" ] || fail "$file is not in the user's programs folder"
done
[ ! -e "$program_files/Orvanta" ] || fail "something was installed into Program Files"
user_win=$(winepath -w "$user_dir" | tr -d '\r')
wine reg query "$product_key" /v InstallDir | tr -d '\r' | grep -qF "$user_win" || fail "InstallDir is not $user_win"
driver wait-window __INSTALL_WND__ 30000 >/dev/null || fail "setup did not start again"
driver close __INSTALL_WND__

# Settings > Apps: every value. The size is that of the files the log lists
# (all but the log itself).
value() { wine reg query "$apps_key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
bytes=$(cd "$user_dir" && find . -type f ! -name install.log -printf '%s\n' | awk '{ s += $1 } END { print s }')
size_kb=$(( (bytes + 1023) / 1024 ))
check() { [ "$(value "$1")" = "$2" ] || fail "Settings > Apps: $1 is '$(value "$1")', not '$2'"; }
check DisplayName "Quillmark Demo"
check DisplayIcon "$user_win\\Quillmark.exe"
check UninstallString "\"$user_win\\uninstall.exe\""
check InstallLocation "$user_win"
check Publisher "Orvanta"
check URLInfoAbout "http://www.quillmark-demo.example/"
check HelpLink "http://www.quillmark-demo.example/support/"
check EstimatedSize "$(printf '0x%x' "$size_kb")"
check InstallDate "$(date +%Y%m%d)"
check NoModify 0x1
check NoRepair 0x1
echo "Settings > Apps: $(value DisplayName), $size_kb KB"

# Settings starts the uninstaller with a current folder of its own.
(cd "$WINEPREFIX/drive_c/windows/system32" && exec wine "$user_win\\uninstall.exe") &
uninstall_pid=$!
# The closing message is the medium's text: the one beside the program was read.
done_text=$(answer_uninstaller "Quillmark Demo Uninstall")
[[ "$done_text" == *"was removed from your computer"* ]] || fail "the uninstaller reports: $done_text"
wait "$uninstall_pid" || fail "the uninstaller failed"
expect_removed "$user_dir"
! reg_has "$apps_key" || fail "the game is still in Settings > Apps"
! reg_has "$product_key" || fail "the product key is still in the registry"
[ ! -e "$start_menu" ] || fail "the Start menu folder is still there"
echo "standard_user: ok"
