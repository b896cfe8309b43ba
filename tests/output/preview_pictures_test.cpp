// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's pictures are converted for the window ahead of their time, and the window
// shows each at its time.
#include <gtest/gtest.h>

#include <atomic>

#include "output/preview_clock.h"
#include "output/preview_sink.h"
#include "output/video_renderer.h"
#include "support/qt/run_until.h"

namespace {

constexpr media::Ticks kInterval = media::kTicksPerSecond / 25;

media::Frame colouredFrame(int index, std::uint8_t red) {
    media::Frame frame(64, 48);
    frame.fillRgb(red, static_cast<std::uint8_t>(255 - red), 40);
    frame.pts = index * kInterval;
    return frame;
}

int redOf(const QImage& image) {
    return qRed(image.pixel(image.width() / 2, image.height() / 2));
}

// A preview's window and the sink that feeds it, on a clock the test sets.
class PreviewPicturesTest : public ::testing::Test {
protected:
    PreviewPicturesTest() { window.show(); }

    std::atomic<media::Ticks> now{0};
    VideoRenderer window{QSize(64, 48), kInterval, [this] { return now.load(); }};
    PreviewClock clock{nullptr, false};
    PreviewSink sink{0, &window, -1, nullptr, clock, 100 * kInterval};
};

}  // namespace

TEST_F(PreviewPicturesTest, PreparedPicturesReachTheWindowAsTheirOwnAndHeldOnesAreNeverDrawnOver) {

    auto show = [&](const media::Frame& frame) {
        now = frame.pts;
        EXPECT_TRUE(sink.writeVideo(0, frame));
        return testqt::runUntil([&] { return window.currentTime() == frame.pts; }, 5000);
    };

    // Prepared ahead, as the render does; picture 1 comes too late and is never written.
    for (int i = 0; i < 6; ++i) sink.prepareVideo(0, colouredFrame(i, static_cast<std::uint8_t>(i * 20)));
    ASSERT_TRUE(show(colouredFrame(0, 0)));
    const QImage held = window.currentPicture();  // as a screenshot of it would be kept
    EXPECT_NEAR(redOf(held), 0, 3);
    ASSERT_TRUE(show(colouredFrame(2, 40)));
    EXPECT_NEAR(redOf(window.currentPicture()), 40, 3);

    // A seek back: the pictures prepared before it are not shown for the new ones' times.
    for (int i = 1; i < 4; ++i) sink.prepareVideo(0, colouredFrame(i, static_cast<std::uint8_t>(200 + i)));
    ASSERT_TRUE(show(colouredFrame(1, 201)));
    ASSERT_TRUE(show(colouredFrame(3, 203)));
    EXPECT_NEAR(redOf(window.currentPicture()), 203, 3);

    // Many pictures later, some prepared and some not, the image held is still picture 0.
    for (int i = 4; i < 40; ++i) {
        const media::Frame frame = colouredFrame(i, static_cast<std::uint8_t>(100 + i));
        if (i % 3) sink.prepareVideo(0, frame);
        ASSERT_TRUE(show(frame));
        EXPECT_NEAR(redOf(window.currentPicture()), 100 + i, 3) << i;
    }
    EXPECT_NEAR(redOf(held), 0, 3);
}

TEST_F(PreviewPicturesTest, APictureThatComesEarlyIsShownWhenTheClockReachesItsTimeAndNotBefore) {
    clock.play();

    ASSERT_TRUE(sink.writeVideo(0, colouredFrame(1, 90)));
    EXPECT_FALSE(testqt::runUntil([&] { return window.currentTime() >= 0; }, 150));
    // Nothing more is handed over: the window itself notices the time has come.
    now = kInterval;
    ASSERT_TRUE(testqt::runUntil([&] { return window.currentTime() == kInterval; }, 2000));
    EXPECT_NEAR(redOf(window.currentPicture()), 90, 3);

    // Paused, the picture of the new position is shown at once, whatever its time.
    clock.pause();
    ASSERT_TRUE(sink.writeVideo(0, colouredFrame(5, 150)));
    ASSERT_TRUE(testqt::runUntil([&] { return window.currentTime() == 5 * kInterval; }, 2000));
    EXPECT_NEAR(redOf(window.currentPicture()), 150, 3);
}

TEST_F(PreviewPicturesTest, AWindowHeldUpShowsTheNewestPictureWhenItRunsAgain) {
    clock.play();
    // The interface thread does not run while five pictures come, each at its time.
    for (int i = 0; i < 5; ++i) {
        now = i * kInterval;
        ASSERT_TRUE(sink.writeVideo(0, colouredFrame(i, static_cast<std::uint8_t>(30 * i))));
    }
    ASSERT_TRUE(testqt::runUntil([&] { return window.currentTime() >= 0; }, 2000));
    EXPECT_EQ(window.currentTime(), 4 * kInterval);
    EXPECT_NEAR(redOf(window.currentPicture()), 120, 3);
}
