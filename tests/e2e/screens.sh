# Clicks through the screens of setup.exe on the demo medium: welcome, licence
# (scrolled), options, back to welcome, and ends through the exit button. Each
# screen is kept as a screenshot; each step must change the panel, and coming
# back must show the welcome screen as it was.
source "$(dirname "$0")/lib.sh"

medium=$(fresh_medium screens)
start_on_welcome "$medium" screens-1-welcome

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
expect_unchanged "$welcome" "$back" "back did not show the welcome screen as before"

[ "$(driver title __INSTALL_WND__)" = "Quillmark Demo Setup" ] || fail "wrong title"
click_panel 100 270                      # exit
expect_exit 0
echo "screens: ok"
