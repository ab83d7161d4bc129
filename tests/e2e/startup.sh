# setup.exe starts on a medium, covers the screen with its black window around
# the panel, and ends with code 0 when its window is closed.
source "$(dirname "$0")/lib.sh"

medium=$(fresh_medium startup)
start_setup "$medium"
rect=$(driver wait-window __INSTALL_WND__ 30000) || fail "no setup window"
read -r x y w h <<<"$rect"
[ "$x" = 0 ] && [ "$y" = 0 ] || fail "window at $x,$y"
echo "window $w x $h"
[ "$(driver title __INSTALL_WND__)" = "Quillmark Demo Setup" ] || fail "wrong title"

sleep 1
shot=$(screenshot startup)
# The four bands around the 550 x 400 panel are black.
px=$(( (w - 550) / 2 )); py=$(( (h - 400) / 2 ))
for point in "5 5" "$((px - 3)) $((py + 200))" "$((px + 275)) $((py + 403))" "$((px + 553)) $((py + 200))" "$((w - 5)) $((h - 5))"; do
    read -r cx cy <<<"$point"
    [ "$(pixel "$shot" "$cx" "$cy")" = "0,0,0" ] || fail "pixel $cx,$cy is $(pixel "$shot" "$cx" "$cy"), not black"
done

driver close __INSTALL_WND__ || fail "cannot close"
expect_exit 0
echo "startup: ok"
