#!/usr/bin/env bash
# Starts setup.exe on the built demo medium under Wine. With a DISPLAY it simply
# runs there for you to click through. Without one it walks the whole road by
# itself on a private Xvfb: install (answering the extra installer's question),
# the installed screen, play, and uninstall, keeping a screenshot of every
# screen in build/win/screenshots (or $QUILL_SCREENSHOTS). The walk is the
# end-to-end road test, so it leaves the Wine prefix as it found it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/win
medium=$build/medium
[ -f "$medium/setup.exe" ] || { echo "demo-walk: no medium in $medium; run make win first" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
    cd "$medium"
    exec "$root/scripts/with-wine" wine setup.exe
fi

shots=${QUILL_SCREENSHOTS:-$build/screenshots}
rm -rf "$shots"
mkdir -p "$shots"
echo "demo-walk: no DISPLAY, so setup walks through every screen on a private Xvfb"
QUILL_MEDIUM=$medium QUILL_DRIVER=$build/tests/e2e/qdriver.exe QUILL_ARTIFACTS=$shots \
    QUILL_GAMEFILES=$build/gamefiles QUILL_E2E_WORK=$build/demo-walk \
    bash "$root/tests/e2e/road.sh"
echo "demo-walk: a screenshot of every screen is in $shots:"
ls "$shots"
