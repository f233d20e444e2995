#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Compiles the Windows resource script with a cross windres, decompiles the
# result and compares it with what Windows should show for Vantorel.exe: the
# version record, field by field, and the application icon with exactly its
# three images.
#
# usage: check_windows_resource.sh RC_FILE OUTPUT_DIR VERSION NUMERIC_VERSION
#   (VERSION as the program shows it, NUMERIC_VERSION as "1, 1, 0, 0")
set -eu

rc=$1
out=$2
version=$3
numeric=$4
command -v x86_64-w64-mingw32-windres >/dev/null 2>&1 \
    || { echo "FAIL: x86_64-w64-mingw32-windres not found (install binutils-mingw-w64-x86-64)" >&2; exit 1; }
# windres runs the C preprocessor: the cross compiler's when there is one.
preprocessor=--preprocessor=cpp
command -v x86_64-w64-mingw32-gcc >/dev/null 2>&1 && preprocessor=

mkdir -p "$out"
cd "$(dirname "$rc")"
x86_64-w64-mingw32-windres $preprocessor -i "$(basename "$rc")" -O coff -o "$out/vantorel.res.o"
x86_64-w64-mingw32-windres $preprocessor -i "$(basename "$rc")" -O rc -o "$out/vantorel.decompiled.rc"
decompiled="$out/vantorel.decompiled.rc"

failures=0
expect() {
    grep -Fqx -e "$1" "$decompiled" || { printf 'FAIL: missing line: %s\n' "$1" >&2; failures=$((failures + 1)); }
}
expect " FILEVERSION $numeric"
expect " PRODUCTVERSION $numeric"
expect ' FILEOS 0x40004'
expect ' FILETYPE 0x1'
expect '    BLOCK "040904B0"'
expect '      VALUE "ProductName", "Vantorel Scorekeeper"'
expect "      VALUE \"FileVersion\", \"$version\""
expect "      VALUE \"ProductVersion\", \"$version\""
expect '      VALUE "InternalName", "Vantorel"'
expect '      VALUE "OriginalFilename", "Vantorel.exe"'
expect '    VALUE "Translation", 0x409, 1200'
values=$(grep -c 'VALUE "' "$decompiled")
[ "$values" -eq 6 ] || { echo "FAIL: $values VALUE lines, expected 6" >&2; failures=$((failures + 1)); }

# The icon group: 32x32 in 2 colours, 32x32 and 16x16 in 16 colours, each
# image its own RT_ICON of the recorded size.
expect '"IDI_ICON1" 14 /* RT_GROUP_ICON */ MOVEABLE DISCARDABLE'
expect '   0, 1, 3,	 /* Has 3 elements.  */'
expect '    "\040\040\002\000", 1, 1, 0x130L, 1,	/* Element no 1.  */'
expect '    "\040\040\020\000", 1, 4, 0x2e8L, 2,	/* Element no 2.  */'
expect '    "\020\020\020\000", 1, 4, 0x128L, 3	/* Element no 3.  */'
icons=$(grep -c '/\* RT_ICON \*/' "$decompiled")
[ "$icons" -eq 3 ] || { echo "FAIL: $icons RT_ICON images, expected 3" >&2; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] || { echo "decompiled resource: $decompiled" >&2; exit 1; }
echo "version record and icon as expected"
