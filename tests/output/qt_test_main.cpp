#include <gtest/gtest.h>

#include <QApplication>

// Dialog tests need an application object; they run with the offscreen platform.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
