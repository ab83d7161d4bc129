#!/usr/bin/env bash
# Cross-compiles a minimal static libarchive for the Windows unrar.dll from Debian's
# own source packages, with zlib (also from Debian's source) for its CRC32: without
# it libarchive checks RAR 5 data byte by byte. The patches in scripts/patches are
# applied to a copy of the source; each says why. The sources are fetched with
# apt-get source through a private sources list that adds deb-src, so the system's
# apt configuration stays untouched.
#
# Idempotent: the result carries a stamp of this recipe (a hash of this script and
# the patches); when it matches, nothing is done. A checkout built with an older
# recipe is rebuilt on its next configure, without a make clean.
#   libarchive-win.sh --fetch   only fetch the sources (deps.sh does this)
#   libarchive-win.sh           fetch if needed and build (the Windows CMake run does this)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps=$root/build/deps
prefix=$deps/libarchive-win
patches=("$root"/scripts/patches/libarchive-*.patch)
recipe=$(cat "${BASH_SOURCE[0]}" "${patches[@]}" | sha256sum | cut -d' ' -f1)
built() { [ "$(cat "$prefix/recipe" 2>/dev/null)" = "$recipe" ]; }
[ "${1:-}" != "--fetch" ] && built && exit 0

mkdir -p "$deps"
exec 9>"$deps/libarchive-win.lock"
flock 9
[ "${1:-}" != "--fetch" ] && built && exit 0

apt_dir=$deps/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
cat >"$apt_dir/sources.list" <<LIST
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
LIST
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
          -o "APT::Sandbox::User=root")
src_root=$deps/src
lists_fresh=""

# Unpacks source package $1 into $src_root unless a $1-* folder is there: the newest
# version first, then the older ones (a mirror may lack the newest's files).
fetch() {
    ls -d "$src_root/$1"-*/ >/dev/null 2>&1 && return 0
    echo "deps: fetching the $1 source package"
    [ -n "$lists_fresh" ] || { apt-get "${apt_opts[@]}" -qq update; lists_fresh=1; }
    mkdir -p "$src_root"
    local version
    for version in $(apt-cache "${apt_opts[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -rV | uniq); do
        (cd "$src_root" && apt-get "${apt_opts[@]}" -qq source "$1=$version" >/dev/null 2>&1) && return 0
    done
    echo "deps: cannot fetch the $1 source package" >&2
    return 1
}
fetch libarchive
fetch zlib
[ "${1:-}" = "--fetch" ] && exit 0

bld=$deps/libarchive-win-build
log=$bld.log
rm -rf "$bld" "$prefix"
mkdir -p "$bld" "$prefix/lib" "$prefix/include"
: >"$log"
run() { "$@" >>"$log" 2>&1 || { tail -n 30 "$log"; exit 1; }; }
toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release)

echo "deps: cross-compiling zlib"
zsrc=$(ls -d "$src_root"/zlib-*/ | head -n1)
cp -r "$zsrc" "$bld/zlib-src"
run cmake -S "$bld/zlib-src" -B "$bld/zlib" "${toolchain[@]}"
run cmake --build "$bld/zlib" --target zlibstatic -j 2
cp "$bld/zlib-src/zlib.h" "$bld/zlib/zconf.h" "$prefix/include/"
cp "$(find "$bld/zlib" -name 'libzlibstatic.a' -o -name 'libz.a' | head -n1)" "$prefix/lib/libz.a"

echo "deps: cross-compiling libarchive (RAR readers only, zlib for CRC32, patched)"
src=$bld/libarchive-src
cp -r "$(ls -d "$src_root"/libarchive-*/ | head -n1)" "$src"
for p in "${patches[@]}"; do run patch -d "$src" -p1 -i "$p"; done
# ZLIB_WINAPI_EXITCODE: libarchive would run a test program to see whether zlib
# was built with WINAPI calls; it was not, and a cross build cannot run it.
run cmake -S "$src" -B "$bld/libarchive" "${toolchain[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_ZLIB=ON -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_WINAPI_EXITCODE=1 \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_LIBB2=OFF \
    -DENABLE_LZ4=OFF -DENABLE_LZO=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
    -DENABLE_BZip2=OFF -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF -DENABLE_PCREPOSIX=OFF \
    -DPOSIX_REGEX_LIB=NONE -DENABLE_LIBGCC=OFF -DENABLE_CNG=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF \
    -DENABLE_CAT=OFF -DENABLE_XATTR=OFF -DENABLE_ACL=OFF -DENABLE_ICONV=OFF -DENABLE_TEST=OFF \
    -DENABLE_INSTALL=OFF -DENABLE_WERROR=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON
grep -q '^#define HAVE_ZLIB_H 1' "$bld/libarchive/config.h" || { echo "deps: libarchive did not take zlib" >&2; exit 1; }
run cmake --build "$bld/libarchive" --target archive_static -j 2
cp "$src/libarchive/archive.h" "$src/libarchive/archive_entry.h" "$prefix/include/"
cp "$(find "$bld/libarchive" -name 'libarchive*.a' | head -n1)" "$prefix/lib/libarchive.a"
echo "$recipe" >"$prefix/recipe"
echo "deps: libarchive for Windows is in $prefix"
