#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One command from a fresh Debian 12 machine to a running program or a finished test run.
#   scripts/setup.sh run    install what is missing, build, start Clipfuse
#   scripts/setup.sh test   install what is missing, build, run every test
#   scripts/setup.sh build  install what is missing and build
set -euo pipefail

mode=${1:-run}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${CLIPFUSE_BUILD_DIR:-$here/build}

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libxcb1-dev       # passes a later start's X11 start-up id on to the window manager
    qt6-multimedia-dev   # the preview's sound (QAudioSink)
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    libgtest-dev
    ffmpeg            # makes the test clips and is the reference in the join benchmark
    xvfb xauth        # a display for screenshots on a machine without one
    openbox xdotool wmctrl x11-utils  # the X window tests: a window manager, real clicks, close requests
    gstreamer1.0-tools gstreamer1.0-plugins-good gstreamer1.0-libav  # a second player's demuxers check joined files
    pulseaudio pulseaudio-utils  # a sound server of their own for the preview tests and benchmark
    dpkg-dev file lintian desktop-file-utils appstream  # the Debian package and its checks
    man-db            # renders the manual pages with warnings on, as lintian reads them
    xdg-utils         # xdg-mime: the default web browser, which links fall back on
    fonts-wqy-microhei  # Chinese and Japanese letters for the shipped languages
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    local sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    local dir=$1; shift
    cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir"
}

install_missing

case "$mode" in
    build)
        configure_and_build "$build"
        ;;
    run)
        configure_and_build "$build"
        exec "$build/clipfuse"
        ;;
    test)
        configure_and_build "$build" -DCLIPFUSE_WERROR=ON
        export QT_QPA_PLATFORM=offscreen
        # The tests start their own PulseAudio (installed above); here one that cannot start
        # fails its tests instead of skipping them.
        export CLIPFUSE_TEST_SOUND_REQUIRED=1
        ctest --test-dir "$build" --output-on-failure -j2
        # The engine once more under AddressSanitizer: effects and decoders index pixels and
        # read untrusted files, where an out-of-bounds access must never hide.
        configure_and_build "$build-asan" -DCLIPFUSE_WERROR=ON -DCLIPFUSE_ASAN=ON -DCLIPFUSE_MEDIA_ONLY=ON
        ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$here/tests/lsan.supp" \
            ctest --test-dir "$build-asan" --output-on-failure -j2
        ;;
    *)
        echo "usage: $0 run|test|build" >&2
        exit 2
        ;;
esac
