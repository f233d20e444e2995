#!/bin/sh
# Builds the Debian package from an already built tree, checks its control
# data and contents, validates the installed desktop integration files and
# starts the unpacked program without a display.
#
# usage: check_package.sh BUILD_DIR CPACK NAME VERSION APPSTREAM_ID
set -u

build_dir=$1
cpack=$2
name=$3
version=$4
appstream_id=$5

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
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need timeout coreutils

scratch=$(mktemp -d "$build_dir/packaging-check-deb.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT INT TERM

# --- build the package ------------------------------------------------------
if ! "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch/out" \
        >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack did not build the package" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
deb="$scratch/out/${name}_${version}_${arch}.deb"
if [ ! -f "$deb" ]; then
    echo "FAIL: expected $deb; cpack wrote:" >&2
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
depends=$(field Depends)
echo "depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$lib\( \|$\)" || fail "Depends lacks $lib"
done

# --- contents ---------------------------------------------------------------
root="$scratch/root"
mkdir -p "$root"
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x failed" >&2; exit 1; }

bin="$root/usr/bin/$name"
desktop="$root/usr/share/applications/$name.desktop"
metainfo="$root/usr/share/metainfo/$appstream_id.metainfo.xml"
[ -x "$bin" ] || fail "missing executable /usr/bin/$name"
[ -f "$desktop" ] || fail "missing /usr/share/applications/$name.desktop"
[ -f "$metainfo" ] || fail "missing /usr/share/metainfo/$appstream_id.metainfo.xml"
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
    -e "^\./usr/bin/$name\$" \
    -e '^\./usr/share/applications/' \
    -e '^\./usr/share/metainfo/' \
    -e '^\./usr/share/icons/hicolor/' \
    -e "^\./usr/share/doc/$name/")
[ -z "$stray" ] || fail "unexpected files in the package:
$stray"

# --- installed desktop integration ------------------------------------------
if [ -f "$desktop" ]; then
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    echo "$out" | grep -Eq '(error|warning|hint):' && fail "desktop-file-validate: $out"
    exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n1)
    [ "$exec_cmd" = "$name" ] || [ "$exec_cmd" = "/usr/bin/$name" ] \
        || fail "desktop file runs '$exec_cmd', the package installs /usr/bin/$name"
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n1)
    [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] \
        || fail "desktop file names icon '$icon', which the package does not install"
fi
if [ -f "$metainfo" ]; then
    out=$(appstreamcli validate --no-net --strict "$metainfo" 2>&1) \
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
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" \
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
