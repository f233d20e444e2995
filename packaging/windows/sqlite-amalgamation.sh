#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Makes SQLite's single-file form (sqlite3.c, sqlite3.h) from Debian's source of the SQLite the
# host's own program links, with Debian's patches, for the Windows build to compile as part of
# the program. Kept in CACHE_DIR, made again only when Debian's version changes.
#
# usage: sqlite-amalgamation.sh CACHE_DIR
#   prints the folder holding sqlite3.c, sqlite3.h, Debian's copyright and the source's version
set -eu

cache=$(realpath -m "$1")
here=$(dirname "$(realpath "$0")")
source="sqlite3=$(dpkg-query -W -f='${source:Version}' libsqlite3-0)"
dir=$cache/sqlite-${source#sqlite3=}
if [ -f "$dir/debian-source-version" ] && [ "$(cat "$dir/debian-source-version")" = "$source" ]; then
    echo "$dir"
    exit 0
fi

echo "SQLite for Windows: making the amalgamation of $source" >&2
work=$dir.work
rm -rf "$dir" "$work"
src=$("$here/debian-source.sh" "$work/apt" "$source" "$work")
mkdir -p "$work/build"
# The amalgamation is made by SQLite's own tools (lemon, Tcl scripts), built for this machine.
(cd "$work/build" && "$src/configure" --disable-tcl >&2 && make sqlite3.c >&2)
mkdir -p "$dir"
cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$dir/"
cp "$src/debian/copyright" "$dir/copyright"
printf '%s\n' "$source" > "$dir/debian-source-version"
rm -rf "$work"
echo "$dir"
