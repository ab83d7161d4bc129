#!/usr/bin/env bash
# Cross-compiles a minimal static libarchive for the Windows unrar.dll from Debian's
# own source package. Idempotent: once build/deps/libarchive-win holds the library
# this does nothing. The source is fetched with apt-get source through a private
# sources list that adds deb-src, so the system's apt configuration stays untouched.
#   libarchive-win.sh --fetch   only fetch the source (deps.sh does this)
#   libarchive-win.sh           fetch if needed and build (the Windows CMake run does this)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps=$root/build/deps
prefix=$deps/libarchive-win
[ -f "$prefix/lib/libarchive.a" ] && [ -f "$prefix/include/archive.h" ] && exit 0

mkdir -p "$deps"
exec 9>"$deps/libarchive-win.lock"
flock 9
[ -f "$prefix/lib/libarchive.a" ] && [ -f "$prefix/include/archive.h" ] && exit 0

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
if ! ls -d "$src_root"/libarchive-*/ >/dev/null 2>&1; then
    echo "deps: fetching the libarchive source package"
    apt-get "${apt_opts[@]}" -qq update
    mkdir -p "$src_root"
    (cd "$src_root" && apt-get "${apt_opts[@]}" -qq source libarchive >/dev/null)
fi
src=$(ls -d "$src_root"/libarchive-*/ | head -n1)
[ "${1:-}" = "--fetch" ] && exit 0

echo "deps: cross-compiling libarchive (RAR readers only, no compression libraries)"
bld=$deps/libarchive-win-build
rm -rf "$bld"
cmake -S "$src" -B "$bld" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_LIBB2=OFF \
    -DENABLE_LZ4=OFF -DENABLE_LZO=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_ZLIB=OFF \
    -DENABLE_BZip2=OFF -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF -DENABLE_PCREPOSIX=OFF \
    -DPOSIX_REGEX_LIB=NONE -DENABLE_LIBGCC=OFF -DENABLE_CNG=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF \
    -DENABLE_CAT=OFF -DENABLE_XATTR=OFF -DENABLE_ACL=OFF -DENABLE_ICONV=OFF -DENABLE_TEST=OFF \
    -DENABLE_INSTALL=OFF -DENABLE_WERROR=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON >"$bld.log" 2>&1 \
    || { tail -n 30 "$bld.log"; exit 1; }
cmake --build "$bld" --target archive_static -j 2 >>"$bld.log" 2>&1 || { tail -n 30 "$bld.log"; exit 1; }
mkdir -p "$prefix/lib" "$prefix/include"
cp "$src/libarchive/archive.h" "$src/libarchive/archive_entry.h" "$prefix/include/"
cp "$(find "$bld" -name 'libarchive*.a' | head -n1)" "$prefix/lib/libarchive.a"
echo "deps: libarchive for Windows is in $prefix"
