# The road over a medium whose main package is a real solid RAR 4 archive that
# nobody here wrote (rarfile_rar3-solid.rar of the test data: its second file
# continues the first one's compression): welcome, licence, options, install;
# every installed file exact against the test data's manifest and nothing else
# in the folder but what setup adds; the installed screen; uninstall leaves
# nothing behind.
source "$(dirname "$0")/lib.sh"

package=rarfile_rar3-solid.rar
data="$root/tests/data/rar"

private_desktop
remove_installation
at_exit remove_installation

# The demo medium with the solid archive as its only package and no extra
# installers to answer for.
medium=$(fresh_medium solid_rar4)
rm -f "$medium"/game.rar "$medium"/data*.pak
cp "$data/$package" "$medium/game.rar"
sed -i '/^PATH_ADD_INSTALL_/d' "$medium/Media/strings.txt"

start_on_welcome "$medium" solid_rar4-1-welcome
click_panel 100 206                      # install
click_panel 190 340                      # accept
click_panel 97 278                       # install
expect_exit 0

# The folder holds the archive's files, exact, and what setup itself puts there.
expected=$( (awk -F'\t' -v a="$package" '$1 == a && $4 == "file" { print $3 }' "$data/MANIFEST.tsv"
             printf '%s\n' addinstf.bin install.log uninstall.exe) | sort)
[ "$(cd "$install_dir" && find . -type f | sed 's|^\./||' | sort)" = "$expected" ] ||
    fail "the folder holds: $(cd "$install_dir" && find . -type f | tr '\n' ' ')"
while IFS=$'\t' read -r archive _ entry type _ sha256; do
    [ "$archive" = "$package" ] && [ "$type" = file ] || continue
    [ "$(sha256sum <"$install_dir/$entry" | cut -d' ' -f1)" = "$sha256" ] || fail "$entry is not exact"
done <"$data/MANIFEST.tsv"

# The relaunched setup opens on the installed screen, from which the uninstaller starts.
find_panel 30000
sleep 2
installed=$(panel_shot solid_rar4-2-installed)
expect_changed "$welcome" "$installed" "welcome -> installed"
click_panel 186 260                      # uninstall
driver wait-gone __INSTALL_WND__ 10000 || fail "setup stayed after uninstall"
confirm_uninstall solid_rar4-3-uninstall
echo "solid_rar4: ok"
