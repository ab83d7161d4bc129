#!/usr/bin/env bash
# Checks that the toolkit's layers do not leak (run by `make test`):
#   install/gui/        the platform-neutral core: no system header of Windows,
#                       and of our own headers only the toolkit's ("gui/...");
#   install/gui/win32/  the Win32 side: system headers, and of ours only the
#                       toolkit's; what it needs of the application comes
#                       through hooks.
# Prints every breach with its file and line and exits 1 when there is one.
#   scripts/check-layers.sh [ROOT]   (default: this checkout)
set -uo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root" || exit 2
breaches=0
report() { echo "layers: $1: $2"; breaches=$((breaches + 1)); }

for f in install/gui/*.h install/gui/*.cpp install/gui/win32/*.h install/gui/win32/*.cpp; do
    [ -f "$f" ] || continue
    while IFS=: read -r line text; do
        inc=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*//' <<<"$text")
        case "$inc" in
        \"gui/win32/*)
            [[ $f == install/gui/win32/* ]] || report "$f:$line" "the core includes the Win32 side: $inc" ;;
        \"gui/*) ;;
        \"*) report "$f:$line" "the toolkit includes a header outside it: $inc" ;;
        \<*)
            if [[ $f != install/gui/win32/* ]] && grep -qiE '^<(windows|win[a-z0-9_]*|commctrl|shlobj|shellapi|mmsystem|objbase)\.h>' <<<"$inc"; then
                report "$f:$line" "the core includes a system header of Windows: $inc"
            fi ;;
        esac
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$f")
done
[ "$breaches" -eq 0 ] || { echo "layers: $breaches breach(es)"; exit 1; }
