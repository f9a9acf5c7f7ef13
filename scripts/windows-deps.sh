#!/usr/bin/env bash
# Builds the Windows build's libraries once into a cache outside the clone,
# keyed by version: SDL2 from Debian's source package and GoogleTest from the
# sources Debian's googletest package ships, both static, for mingw-w64.
# Usage: windows-deps.sh <prefix>   (the Makefile passes the cache folder)
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/cmake/mingw-w64.cmake
jobs=$(nproc 2>/dev/null || echo 2)
[ -f "$prefix/.complete" ] && exit 0

sdl_version=2.26.5
work=$prefix.work
rm -rf "$work" && mkdir -p "$work/lists/partial"
# The steps' output goes to logs; a failing step shows the end of the newest.
trap 'rc=$?; if [ $rc -ne 0 ]; then
        log=$(ls -t "$work"/*.log 2>/dev/null | head -n 1)
        echo "windows-deps: failed (exit $rc)${log:+; the end of $log:}" >&2
        [ -z "$log" ] || tail -n 40 "$log" >&2
      fi' EXIT
# A private sources list: the machine's apt configuration stays as it is
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
  >"$work/sources.list"
apt_private=(-o APT::Sandbox::User=root -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/lists")
apt-get "${apt_private[@]}" update -q >"$work/apt-update.log" 2>&1
(cd "$work" && apt-get "${apt_private[@]}" source --download-only -q "libsdl2=$sdl_version+dfsg-1" >"$work/apt-source.log" 2>&1)
mkdir -p "$work/sdl" && tar -xzf "$work"/libsdl2_"$sdl_version"+dfsg.orig.tar.gz -C "$work/sdl" --strip-components=1

cmake -S "$work/sdl" -B "$work/sdl-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >"$work/sdl-configure.log" 2>&1
cmake --build "$work/sdl-build" -j "$jobs" >"$work/sdl-build.log" 2>&1
cmake --install "$work/sdl-build" >/dev/null

cmake -S /usr/src/googletest -B "$work/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
  -Dgtest_disable_pthreads=OFF >"$work/gtest-configure.log" 2>&1
cmake --build "$work/gtest-build" -j "$jobs" >"$work/gtest-build.log" 2>&1
cmake --install "$work/gtest-build" >/dev/null

rm -rf "$work"
touch "$prefix/.complete"
