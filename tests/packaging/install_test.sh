#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a user gets: the layout, the
# menu entry and metainfo, the installed program started through its link, and the Debian
# package with lintian. Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
usr=$dest/usr
prog=$usr/lib/clipfuse

# The program's own tree is flat; bin/ holds relative links into it.
for f in clipfuse clipfuse-join; do
    [[ -x $prog/$f && ! -L $prog/$f ]] || fail "$prog/$f is not an executable"
    [[ $(readlink "$usr/bin/$f") == ../lib/clipfuse/$f ]] || fail "usr/bin/$f is not a relative link into lib/clipfuse"
done
diff -r "$src/language" "$prog/language" || fail "language/ is not installed whole"
diff -r "$src/docs/help" "$prog/help" || fail "docs/help/ is not installed whole as help/"
id=com.korvane.Clipfuse
for f in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/doc/clipfuse/copyright share/doc/clipfuse/changelog.gz; do
    [[ -s $usr/$f ]] || fail "missing $f"
done
for size in 48 128 256; do
    file "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
        fail "the ${size}px icon is not a ${size}x${size} PNG"
done
# No build folder may leak into the installed programs' library search path.
! readelf -d "$prog/clipfuse" | grep -q 'R.*PATH' || fail "the installed program carries an RPATH"

desktop-file-validate "$usr/share/applications/$id.desktop"
grep -qx 'Exec=clipfuse %F' "$usr/share/applications/$id.desktop" || fail "the menu entry does not run clipfuse %F"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >/dev/null

# Started through its link from elsewhere, the program finds its files beside the executable.
log=$work/start.log
(cd "$work" && QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='clipfuse.files.info=true' \
    XDG_CONFIG_HOME=$work/config timeout 5 "$usr/bin/clipfuse" >"$log" 2>&1) || [[ $? -eq 124 ]] ||
    { cat "$log"; fail "the installed program did not start"; }
grep -qx "clipfuse.files: program folder: $prog" "$log" || { cat "$log"; fail "wrong program folder"; }
grep -qx "clipfuse.files: help page: $prog/help/index.html found" "$log" || { cat "$log"; fail "help page not found"; }
expected=$(find "$src/language" -maxdepth 1 -type f -name '*.ini' -printf '%f\n' | LC_ALL=C sort | paste -sd' ')
grep -qx "clipfuse.files: language files:${expected:+ $expected}" "$log" || { cat "$log"; fail "language files not found"; }
"$usr/bin/clipfuse-join" --help >/dev/null || fail "clipfuse-join does not run through its link"

# The Debian package: stripped, its dependencies found from the binaries, no lintian errors.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/clipfuse_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's dependencies were not found from the binaries"
dpkg-deb -x "$deb" "$work/unpacked"
file "$work/unpacked/usr/lib/clipfuse/clipfuse" | grep -q ', stripped' || fail "the packaged program is not stripped"
lintian --fail-on error "$deb"
echo "installed layout, menu entry, metainfo, start through the link and package: ok"
