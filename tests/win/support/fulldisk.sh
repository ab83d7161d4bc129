#!/usr/bin/env bash
# Maps drive Q: of the Wine prefix to a 6 MiB tmpfs (mount) and takes it away
# again (unmount): room for the uninstaller of a build with debugging symbols,
# not for a game. Without root the drive is simply absent and the full-disk
# tests skip themselves.
set -u
action=$1
dir=$2
drive=${WINEPREFIX:?run under scripts/with-wine}/dosdevices/q:
case $action in
mount)
    mkdir -p "$dir"
    if mountpoint -q "$dir" || mount -t tmpfs -o size=6m tmpfs "$dir" 2>/dev/null; then
        ln -sfn "$dir" "$drive"
    else
        echo "fulldisk: cannot mount a tmpfs (not root?); the full-disk test will skip" >&2
    fi
    ;;
unmount)
    rm -f "$drive"
    mountpoint -q "$dir" && umount "$dir"
    rmdir "$dir" 2>/dev/null
    ;;
esac
exit 0
