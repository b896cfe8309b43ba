#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary DESTDIR and checks what a user gets: the layout, the
# menu entry and metainfo, the licence and manual pages, the installed program started
# through its link (and its window as a desktop sees it), and the Debian package with
# lintian. Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
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

# The licence in Debian's machine-readable form, pointing at the system's copy of its text.
copyright=$usr/share/doc/clipfuse/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
grep -qx 'License: GPL-3.0+' "$copyright" || fail "the copyright file does not name GPL-3.0+"
grep -q '/usr/share/common-licenses/GPL-3' "$copyright" || fail "the copyright file does not point at the licence's text"

for page in clipfuse clipfuse-join; do
    gz=$usr/share/man/man1/$page.1.gz
    [[ -s $gz ]] || fail "missing manual page $page(1)"
    gzip -t "$gz" || fail "$page.1.gz is not a whole gzip file"
    # Rendered with warnings on, as lintian reads it: a roff mistake shows here.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "$page(1) renders with warnings: $warnings"
done

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

# The running window as an X11 desktop sees it, on a display of the test's own: its class is
# the menu entry's StartupWMClass. (Its desktop file name is Wayland's application id; Qt
# publishes no X11 property for it.)
wm_class=$(sed -n 's/^StartupWMClass=//p' "$usr/share/applications/$id.desktop")
[[ -n $wm_class ]] || fail "the menu entry has no StartupWMClass"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
display=:$(head -1 "$work/display")
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/config-x11 "$usr/bin/clipfuse" >"$work/x11.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
window=""
for _ in $(seq 100); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | head -1) && [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { cat "$work/x11.log"; fail "the installed program showed no window"; }
class=$(DISPLAY=$display xprop -id "$window" WM_CLASS)
[[ $class == "WM_CLASS(STRING) = \"clipfuse\", \"$wm_class\"" ]] ||
    fail "the window's class ($class) is not the menu entry's StartupWMClass ($wm_class)"
kill "$app_pid"

# The Debian package: stripped, its dependencies found from the binaries, the manual pages
# and licence in it, both programs saying the package's version, and nothing for lintian to
# say beyond the overrides the package carries (each with its reason).
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/clipfuse_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's dependencies were not found from the binaries"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/share/man/man1/clipfuse.1.gz ./usr/share/man/man1/clipfuse-join.1.gz ./usr/share/doc/clipfuse/copyright; do
    grep -q " $f\$" <<<"$contents" || fail "the package does not hold $f"
done
dpkg-deb -x "$deb" "$work/unpacked"
file "$work/unpacked/usr/lib/clipfuse/clipfuse" | grep -q ', stripped' || fail "the packaged program is not stripped"
version=$(dpkg-deb -f "$deb" Version)
[[ $deb == */clipfuse_${version}_*.deb ]] || fail "the package file's name does not carry its version $version"
for program in clipfuse clipfuse-join; do
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/unpacked/usr/bin/$program" --version)
    [[ $said == "$program $version" ]] || fail "$program --version says \"$said\", the package is $version"
done
lintian --fail-on error,warning "$deb"
echo "installed layout, licence, manual pages, menu entry, metainfo, start through the link, window class and package: ok"
