// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of the tests that drive windows through a real X server: a display of
// this program's own (Xvfb, 1280x800), with a window manager unless
// CLIPFUSE_TEST_WINDOW_MANAGER is "none", and a private settings folder. Events reach the
// program as a user's do, through the X server and Qt's own handling of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "support/media/test_media.h"
#include "virtual_display.h"

namespace testx11 {
VirtualDisplay* display = nullptr;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const char* wm = std::getenv("CLIPFUSE_TEST_WINDOW_MANAGER");
    const std::string windowManager =
        wm ? (std::string(wm) == "none" ? "" : std::string(wm)) : "openbox --sm-disable";
    testx11::VirtualDisplay display(1280, 800, windowManager);
    if (!display.running()) {
        std::fprintf(stderr, "no X display: %s\n", display.why().c_str());
        return 1;
    }
    testx11::display = &display;
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    const std::string config = testmedia::scratchDir("x11-config-" + std::to_string(::getpid()));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
