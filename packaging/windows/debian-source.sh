#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Fetches and unpacks a Debian source package from the archive this system already installs
# from, through an apt configuration of its own: source entries made from the system's own
# entries for its release, lists and cache in WORK_DIR. The system's apt state is left alone.
#
# usage: debian-source.sh WORK_DIR PACKAGE[=VERSION] DEST_DIR
#   prints the folder the source was unpacked into, DEST_DIR/PACKAGE-UPSTREAM_VERSION
set -eu

work=$1
package=$2
dest=$3
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
[ -n "$codename" ] || { echo "debian-source.sh: no VERSION_CODENAME in /etc/os-release" >&2; exit 1; }

mkdir -p "$work/sources.list.d" "$work/lists/partial" "$work/cache/archives/partial" "$dest"
sources=$work/sources.list.d/release.sources
: > "$sources"
# deb822 entries: each stanza of a suite of this release (bookworm, bookworm-updates,
# bookworm-security...) becomes the same stanza for its sources.
for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v release="$codename" '
        function flush() {
            if (uris != "" && suites != "" && deb) {
                print "Types: deb-src"; print "URIs: " uris; print "Suites: " suites
                print "Components: " components
                if (signed != "") print "Signed-By: " signed
                print ""
            }
            uris = suites = components = signed = ""; deb = 0
        }
        /^[ \t]*$/ { flush(); next }
        /^#/ { next }
        /^Types:/ { deb = ($0 ~ /[ \t]deb([ \t]|$)/) }
        /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
        /^Components:/ { sub(/^Components:[ \t]*/, ""); components = $0 }
        /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); signed = $0 }
        /^Enabled:[ \t]*no/ { deb = 0 }
        /^Suites:/ {
            kept = ""
            for (i = 2; i <= NF; i++)
                if ($i == release || index($i, release "-") == 1) kept = kept " " $i
            suites = substr(kept, 2)
        }
        END { flush() }' "$file" >> "$sources"
done
# One-line entries: "deb [options] URI SUITE COMPONENTS...".
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk -v release="$codename" '
        $1 == "deb" {
            i = 2
            if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
            suite = $(i + 1)
            if (suite == release || index(suite, release "-") == 1) { $1 = "deb-src"; print }
        }' "$file" >> "$sources"
done
grep -q . "$sources" || { echo "debian-source.sh: no entry for $codename in the system's apt sources" >&2; exit 1; }

set -- -o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$work/sources.list.d" \
       -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
# As root apt downloads as the user _apt, who may not write into a private folder.
[ "$(id -u)" != 0 ] || set -- "$@" -o APT::Sandbox::User=root
apt-get "$@" -qq update >&2
cd "$dest"
apt-get "$@" -q source --only-source "$package" >&2
name=${package%%=*}
unpacked=$(find . -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -1)
[ -n "$unpacked" ] || { echo "debian-source.sh: $name was not unpacked in $dest" >&2; exit 1; }
echo "$dest/${unpacked#./}"
