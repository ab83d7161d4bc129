# Unattended runs that must fail: a bad command line, a drive too small for the
# game (refused by the space check, and with the check fooled, by the full disk
# during extraction), a damaged package, a main package that is no archive, a
# missing unrar.dll and a folder too long. Each ends with its own exit code, the
# log and the console name the cause, and the prefix and the drive are as before.
# Without /S a bad command line gets a box and the same code.
source "$(dirname "$0")/lib.sh"

remove_installation
at_exit remove_installation
log="$QUILL_E2E_WORK/failure.log"
log_win=$(winepath -w "$log" | tr -d '\r')
before="$QUILL_E2E_WORK/before.txt" after="$QUILL_E2E_WORK/after.txt"

# A copy of the demo medium, damaged by the command given; prints its path.
damaged_medium() {
    local medium
    medium=$(fresh_medium "failure-$1")
    (cd "$medium" && eval "$2")
    echo "$medium"
}

# Runs /S with a log on a medium and checks the exit code, the cause in log and
# console, and that the prefix is as before.
expect_failure() {
    local medium=$1 want=$2 cause=$3
    shift 3
    rm -f "$log"
    prefix_state "$before"
    silent_setup "$medium" /S "/LOG=$log_win" "$@"
    [ "$code" = "$want" ] || fail "$*: ended with $code, expected $want: $(cat "$console")"
    grep -qF -- "$cause" "$log" || fail "$*: the log does not name the cause '$cause': $(cat "$log")"
    grep -qF -- "Result: $want (" "$log" || fail "$*: the log has no result"
    grep -qF -- "$cause" "$console" || fail "$*: the console does not name the cause: $(cat "$console")"
    prefix_state "$after"
    expect_same_state "$before" "$after" "$*: the failed run left something behind"
    echo "exit $code: $(grep -F -- "$cause" "$console" | head -n1)"
}

medium=$(fresh_medium failure)
expect_failure "$medium" 2 "/EXTRAS=MOST is not one of ALL, UNASKED and NONE" /EXTRAS=MOST
expect_failure "$medium" 4 "The installation folder is too long" "/D=C:\\Games\\$(printf 'x%.0s' $(seq 300))"
expect_failure "$(damaged_medium nodll 'rm unrar.dll')" 7 "unrar.dll" /D=C:\\Quillmark
expect_failure "$(damaged_medium garbage 'printf "no archive" >game.rar')" 3 "Cannot process package: game.rar" \
    /D=C:\\Quillmark
# Damaged data in the middle of a pack: found only when it is unpacked, after
# three packages were written, all of which go again.
damaged=$(damaged_medium data 'printf "DAMAGED%.0s" $(seq 20) |
    dd of=data2.pak bs=1 seek=$(($(stat -c %s data2.pak) / 2)) conv=notrunc status=none')
expect_failure "$damaged" 6 "Unpack error" /D=C:\\Quillmark\\Game

# The small drive Q: (a small tmpfs, see tests/win/support/fulldisk.sh).
small_drive=$(readlink -f "$WINEPREFIX/dosdevices/q:" || true)
if [ -n "$small_drive" ] && mountpoint -q "$small_drive"; then
    expect_failure "$medium" 5 "There is not enough free space" /D=Q:\\Games\\Quillmark
    fooled=$(damaged_medium fooled 'sed -i "s/^INT_SPACE_NEED .*/INT_SPACE_NEED 1/" Media/strings.txt')
    expect_failure "$fooled" 6 "Unpack error" /D=Q:\\Games\\Quillmark
    [ -z "$(ls -A "$small_drive")" ] || fail "the small drive holds $(ls -A "$small_drive")"
else
    echo "no small drive Q: (not root?): its two cases are skipped"
fi

# Without /S the reason comes in a box, and the exit code is the same.
start_setup "$medium" /BOGUS
text=$(driver box "Quillmark Demo Install" 20000) || fail "no box for a bad command line"
[[ "$text" == *"/BOGUS is unknown"* ]] || fail "the box says: $text"
driver press "Quillmark Demo Install" 1
expect_exit 2
echo "silent_failures: ok"
