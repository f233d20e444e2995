#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Builds the Debian package as `make package` does, checks its control data
# and contents, runs lintian on it, validates the installed desktop
# integration files and starts the unpacked program without a display.
#
# usage: check_package.sh SOURCE_DIR PACKAGE_BUILD_DIR NAME VERSION APPSTREAM_ID [EXCUSED]
# EXCUSED: appstreamcli's options for the findings this system's AppStream excuses.
set -u

source_dir=$1
package_build_dir=$2
name=$3
version=$4
appstream_id=$5
appstream_excused=${6:-}

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
need() {
    command -v "$1" >/dev/null 2>&1 || { echo "FAIL: $1 not found (install $2)" >&2; exit 1; }
}
need dpkg-deb dpkg
need dpkg dpkg
need dpkg-buildflags dpkg-dev
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need lintian lintian
need readelf binutils
need timeout coreutils

mkdir -p "$package_build_dir" || exit 1
scratch=$(mktemp -d "$package_build_dir/check.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT INT TERM

# --- build the package ------------------------------------------------------
if ! sh "$source_dir/packaging/debian/build-deb.sh" "$source_dir" "$package_build_dir/tree" \
        "$scratch/out" >"$scratch/build.log" 2>&1; then
    cat "$scratch/build.log" >&2
    echo "FAIL: the package did not build" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
deb="$scratch/out/${name}_${version}_${arch}.deb"
if [ ! -f "$deb" ]; then
    echo "FAIL: expected $deb; the build wrote:" >&2
    ls -l "$scratch/out" >&2
    exit 1
fi
echo "package: $(basename "$deb")"

# --- control data -----------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$name" ] || fail "Package is '$(field Package)', expected '$name'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected '$version'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', expected '$arch'"
[ "$(field Section)" = "games" ] || fail "Section is '$(field Section)', expected 'games'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
[ -z "$(field Homepage)" ] || fail "Homepage '$(field Homepage)': there is no project site"
depends=$(field Depends)
echo "depends: $depends"

# --- contents ---------------------------------------------------------------
root="$scratch/root"
mkdir -p "$root"
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x failed" >&2; exit 1; }

bin="$root/usr/games/$name"
desktop="$root/usr/share/applications/$name.desktop"
metainfo="$root/usr/share/metainfo/$appstream_id.metainfo.xml"
doc="$root/usr/share/doc/$name"
[ -x "$bin" ] || fail "missing executable /usr/games/$name"
[ -f "$desktop" ] || fail "missing /usr/share/applications/$name.desktop"
[ -f "$metainfo" ] || fail "missing /usr/share/metainfo/$appstream_id.metainfo.xml"
[ -f "$root/usr/share/man/man6/$name.6.gz" ] || fail "missing manual page $name.6.gz"
[ -f "$doc/changelog.gz" ] || fail "missing /usr/share/doc/$name/changelog.gz"
head -n1 "$doc/copyright" 2>/dev/null | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
    || fail "/usr/share/doc/$name/copyright is missing or not machine-readable"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$name.svg" ] \
    || fail "missing scalable icon"
for n in 16 22 24 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${n}x${n}/apps/$name.png"
    if [ ! -f "$png" ]; then
        fail "missing ${n}x${n} icon"
        continue
    fi
    # PNG signature, then IHDR width and height as big-endian 32-bit values.
    got=$(od -An -tx1 -j0 -N24 "$png" | tr -d ' \n')
    want=$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$n" "$n")
    [ "$got" = "$want" ] || fail "${n}x${n}/apps/$name.png is not a ${n}x${n} PNG"
done

# Nothing but the program and its desktop integration belongs in the package.
stray=$(cd "$root" && find . ! -type d | grep -v \
    -e "^\./usr/games/$name\$" \
    -e "^\./usr/share/man/man6/$name\.6\.gz\$" \
    -e '^\./usr/share/applications/' \
    -e '^\./usr/share/metainfo/' \
    -e '^\./usr/share/icons/hicolor/' \
    -e "^\./usr/share/doc/$name/" \
    -e "^\./usr/share/lintian/overrides/$name\$")
[ -z "$stray" ] || fail "unexpected files in the package:
$stray"

# --- the program -------------------------------------------------------------
# Qt is found on the system's library path; a run path would only widen the
# search (lintian checks the hardening flags and the stripping).
if [ -x "$bin" ]; then
    readelf -d "$bin" | grep -Eq '\((RPATH|RUNPATH)\)' \
        && fail "the program carries a run path: $(readelf -d "$bin" | grep -E 'R(UN)?PATH')"
    # Every library the program loads comes with a package that Depends names, so that apt
    # brings it. The names are this release's (libqt6core6 became libqt6core6t64).
    multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    for lib in $(readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'); do
        owner=$(dpkg-query -S "*/$multiarch/$lib" 2>/dev/null | grep -v '^diversion' \
                | sed -n 's/^\([^:,]*\).*: \/.*/\1/p' | head -n1)
        if [ -z "$owner" ]; then
            fail "no installed package holds $lib"
        elif ! echo "$depends" | tr ',|' '\n\n' | grep -q "^ *$owner\( \|$\)"; then
            fail "Depends lacks $owner, which holds $lib"
        fi
    done
fi

# --- lintian ----------------------------------------------------------------
# Every tag fails, informational and pedantic ones included.
out=$(lintian -EvIL +pedantic --no-cfg --fail-on error,warning,info,pedantic,experimental \
        "$deb" 2>&1) || fail "lintian:
$out"

# --- installed desktop integration ------------------------------------------
if [ -f "$desktop" ]; then
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    echo "$out" | grep -Eq '(error|warning|hint):' && fail "desktop-file-validate: $out"
    exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n1)
    [ "$exec_cmd" = "$name" ] || [ "$exec_cmd" = "/usr/games/$name" ] \
        || fail "desktop file runs '$exec_cmd', the package installs /usr/games/$name"
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n1)
    [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] \
        || fail "desktop file names icon '$icon', which the package does not install"
fi
if [ -f "$metainfo" ]; then
    out=$(appstreamcli validate --pedantic --no-net --strict $appstream_excused "$metainfo" 2>&1) \
        || fail "appstreamcli validate: $out"
    grep -q "<launchable type=\"desktop-id\">$name.desktop</launchable>" "$metainfo" \
        || fail "metainfo does not launch $name.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" \
        || fail "metainfo has no release $version"
fi

# --- start the unpacked program ---------------------------------------------
# It has no command line and runs until its window is closed: being killed by
# the timeout (status 124) is the expected outcome, any earlier exit a fault.
if [ -x "$bin" ]; then
    runtime="$scratch/xdg-runtime"
    mkdir -m 700 "$runtime"
    # Its games go to a folder of the check's, not the user's.
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" XDG_DATA_HOME="$scratch/data" \
        timeout -k 5 5 "$bin" >"$scratch/run.log" 2>&1 </dev/null
    status=$?
    if [ "$status" -ne 124 ]; then
        cat "$scratch/run.log" >&2
        fail "installed program exited early with status $status"
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
