#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Cross-builds Qt's base module for 64-bit Windows from Debian's own source of it, of the version
# of the host's Qt tools, which the build uses for moc, rcc and uic. Only what the program uses:
# Core, Gui, Widgets, the Windows platform plugin and style, as shared libraries (Qt stays
# replaceable by the user, as its license asks). The result is kept in CACHE_DIR and built
# again only when Debian's version of the source changes.
#
# usage: build-qt.sh TOOLCHAIN_FILE CACHE_DIR
#   prints the folder Qt is installed in, CACHE_DIR/qt-VERSION-mingw64
set -eu

toolchain=$(realpath "$1")
cache=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")
jobs=${JOBS:-$(nproc)}

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
host_cmake_dir=/usr/lib/$multiarch/cmake
version=$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")$/\1/p' "$host_cmake_dir/Qt6/Qt6ConfigVersionImpl.cmake")
[ -n "$version" ] || { echo "build-qt.sh: no host Qt 6 in $host_cmake_dir (qt6-base-dev)" >&2; exit 1; }
# The source of the host's own Qt packages, to the Debian revision.
source="qt6-base=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)"

# What is left out, and why: the program draws with the raster engine, uses no network, D-Bus,
# SQL (SQLite is its own), printing, XML or concurrency module; its icons are PNG, which Qt
# reads without a plugin. Debian's source leaves out the Wacom tablet header, so no tablet input.
# Every third-party library is Qt's own copy: nothing of the build machine gets in. Direct2D
# stays, unused: Qt builds its DirectWrite font database only with it.
features="-DINPUT_opengl=no -DFEATURE_vulkan=OFF
    -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_testlib=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_freetype=OFF
    -DFEATURE_gif=OFF -DFEATURE_jpeg=OFF -DFEATURE_ico=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF"

prefix=$cache/qt-$version-mingw64
stamp="$source $(printf '%s' "$features" | tr -s ' \n' ' ')"
if [ -f "$prefix/vantorel-build.stamp" ] && [ "$(cat "$prefix/vantorel-build.stamp")" = "$stamp" ]; then
    echo "Qt $version for Windows: cached in $prefix" >&2
    echo "$prefix"
    exit 0
fi

echo "Qt $version for Windows: building $source in $prefix (the first time takes long)" >&2
start=$(date +%s)
rm -rf "$prefix"
# A build that was stopped goes on where it stopped, if it was of the same source and features.
work=$prefix.work
if [ "$(cat "$work/vantorel-build.stamp" 2>/dev/null)" = "$stamp" ]; then
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')
else
    rm -rf "$work"
    src=$("$here/debian-source.sh" "$work/apt" "$source" "$work")
    printf '%s\n' "$stamp" > "$work/vantorel-build.stamp"
fi

# shellcheck disable=SC2086 # the features are words
cmake -S "$src" -B "$work/build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    $features >&2
cmake --build "$work/build" -j "$jobs" >&2
cmake --install "$work/build" >&2
# The licenses and Debian's record of where the source comes from, for the packages.
mkdir -p "$prefix/licenses"
cp "$src"/LICENSES/* "$src/debian/copyright" "$prefix/licenses/"
printf '%s\n' "$source" > "$prefix/licenses/debian-source-version"
printf '%s\n' "$stamp" > "$prefix/vantorel-build.stamp"
rm -rf "$work"
echo "Qt $version for Windows: built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
