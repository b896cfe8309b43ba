// The entry point of every test program that needs Qt: a QApplication on the offscreen
// platform, and a private settings folder so that no test touches the user's settings.
#include <QApplication>
#include <gtest/gtest.h>

#include "support/media/test_media.h"

#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string config = testmedia::scratchDir("config-" + std::to_string(::getpid()));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
