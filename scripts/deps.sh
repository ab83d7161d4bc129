#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -euo pipefail
packages=(cmake g++ make mingw-w64 wine wine64 xvfb xdotool imagemagick sox lame
          libarchive-dev libarchive-tools googletest libgtest-dev dpkg-dev locales clang-format
          libpng-dev libjpeg-dev clang libclang-rt-14-dev llvm-14)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "deps: installing ${missing[*]}"
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The libarchive and zlib source packages for the Windows unrar.dll (built by the Windows configure).
"$(dirname "${BASH_SOURCE[0]}")/libarchive-win.sh" --fetch
