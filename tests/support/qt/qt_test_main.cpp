// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of every test program that needs Qt: a QApplication on the offscreen
// platform, and a private settings folder so that no test touches the user's settings.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/compressor_trial_mode.h"
#include "support/media/test_media.h"

#include <cstdlib>
#include <filesystem>

namespace {

// The window keeps its clip list beside its settings between runs; each test starts as a
// first run does, without a list kept by an earlier test. Tests of the kept list make their
// own before they open a window.
class ForgetKeptClipLists : public ::testing::EmptyTestEventListener {
public:
    explicit ForgetKeptClipLists(std::string root) : root_(std::move(root)) {}
    void OnTestStart(const ::testing::TestInfo&) override {
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(root_, ec))
            if (e.path().string().ends_with(".cliplist.json")) std::filesystem::remove(e.path(), ec);
    }

private:
    std::string root_;
};

}  // namespace

int main(int argc, char** argv) {
    // The Options dialog tries compressors in helper processes of this very program, as it
    // does in Clipfuse itself.
    if (isCompressorTrialMode(argc, argv)) return runCompressorTrialMode(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string config = testmedia::scratchDir("config-" + std::to_string(::getpid()));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetKeptClipLists(config));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
