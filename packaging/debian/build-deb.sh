#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Builds the Debian package in a build tree of its own: only the program, with
# Debian's hardening flags (dpkg-buildflags: stack protector, fortify, full
# RELRO with bind-now, PIE), installed in /usr/games as a game should be.
# Prints the path of the .deb last.
#
# usage: build-deb.sh SOURCE_DIR BUILD_DIR [OUTPUT_DIR]
set -eu

# dpkg-shlibdeps names the libraries' packages as this release has them, and the
# metainfo is written for this release's AppStream (cmake/Packaging.cmake).
for tool in dpkg-buildflags dpkg-shlibdeps appstreamcli; do
    command -v "$tool" >/dev/null 2>&1 || { echo "build-deb.sh: $tool not found" >&2; exit 1; }
done

source_dir=$(cd "$1" && pwd)
build_dir=$2
output_dir=${3:-$2}

# The flags as a Debian package build gets them; CMake reads no CPPFLAGS, so
# the preprocessor's go with the compiler's. Asked for in the source folder,
# whose path dpkg-buildflags maps away from the debug information.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags=$(cd "$source_dir" && echo "$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)")
ldflags=$(cd "$source_dir" && dpkg-buildflags --get LDFLAGS)

cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF -DCMAKE_INSTALL_BINDIR=games \
    -DVANTOREL_DEBIAN_PACKAGE=ON \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build_dir"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$output_dir"
ls "$output_dir"/*.deb
