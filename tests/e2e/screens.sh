# Clicks through the screens of setup.exe on the demo medium: welcome, licence
# (scrolled), options, back to welcome, and ends through the exit button. Each
# screen is kept as a screenshot; each step must change the panel, and coming
# back must show the welcome screen as it was.
source "$(dirname "$0")/lib.sh"

compare=/usr/bin/compare-im6.q16
[ -x "$compare" ] || compare=/usr/bin/compare

medium=$(fresh_medium screens)
start_setup "$medium"
rect=$(driver wait-window __INSTALL_WND__ 30000) || fail "no setup window"
read -r x y w h <<<"$rect"
panel_x=$(( x + (w - 550) / 2 )); panel_y=$(( y + (h - 400) / 2 ))

# Moves to a panel point and clicks there.
click_panel() {
    xdotool mousemove $((panel_x + $1)) $((panel_y + $2))
    sleep 0.3
    xdotool click 1
    sleep 1
}

# Parks the pointer where no screen highlights anything, then keeps the panel
# as an artifact; prints the path of the cut-out panel.
panel_shot() {
    xdotool mousemove $((panel_x + 450)) $((panel_y + 10))
    sleep 1
    local shot
    shot=$(screenshot "$1")
    "$convert" "$shot" -crop "550x400+$panel_x+$panel_y" +repage "$QUILL_E2E_WORK/$1-panel.png"
    echo "$QUILL_E2E_WORK/$1-panel.png"
}

# The number of pixels in which two panels differ.
differing() { "$compare" -metric AE "$1" "$2" null: 2>&1 || true; }

expect_changed() {
    local n
    n=$(differing "$1" "$2")
    [ "$n" -gt 5000 ] || fail "$3: only $n pixels changed"
}

sleep 1
welcome=$(panel_shot screens-1-welcome)

click_panel 100 206                      # install
licence=$(panel_shot screens-2-licence)
expect_changed "$welcome" "$licence" "welcome -> licence"

for _ in 1 2 3 4 5; do click_panel 526 314; done   # the down arrow
scrolled=$(panel_shot screens-3-licence-scrolled)
expect_changed "$licence" "$scrolled" "scrolling the licence"

click_panel 190 340                      # accept
options=$(panel_shot screens-4-options)
expect_changed "$scrolled" "$options" "licence -> options"

click_panel 270 277                      # back
back=$(panel_shot screens-5-welcome-again)
n=$(differing "$welcome" "$back")
[ "$n" -lt 50 ] || fail "back did not show the welcome screen as before ($n pixels differ)"

[ "$(driver title __INSTALL_WND__)" = "Quillmark Demo Setup" ] || fail "wrong title"
click_panel 100 270                      # exit
expect_exit 0
echo "screens: ok"
