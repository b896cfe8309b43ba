// SPDX-License-Identifier: GPL-3.0-or-later
// Preview pressed on the main window with clips made at test time, played for real: the
// pictures reach the player's window and the sound goes to a sound server of the tests'
// own, whose null sink plays it in real time.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QThread>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/render/render_engine.h"
#include "output/engine_preview_graph.h"
#include "output/preview_clock.h"
#include "output/preview_sink.h"
#include "output/vcd_core.h"
#include "support/media/sound_server_environment.h"
#include "support/media/test_media.h"
#include "support/qt/preview_window.h"
#include "support/qt/recorders.h"
#include "timeline/preview_renderer.h"
#include "timeline/timeline_builder.h"

namespace {

using testqt::kSecond;
using testqt::runUntil;

using testmedia::SoundServerEnvironment;
[[maybe_unused]] auto* const soundServer =
    ::testing::AddGlobalTestEnvironment(new SoundServerEnvironment);

struct Clips {
    std::string red, blue, toneOnly;
};

// Two-second clips: a red one with a low tone, a blue one with a high tone, and one of
// sound alone.
const Clips& clips() {
    static const Clips made = [] {
        const std::string dir = testmedia::scratchDir("preview_clips");
        Clips c{dir + "/red.mp4", dir + "/blue.mp4", dir + "/tone.m4a"};
        testmedia::ClipSpec red;
        red.width = 160;
        red.height = 120;
        red.frameRate = "10";
        red.colour = "red";
        testmedia::ClipSpec blue = red;
        blue.colour = "blue";
        blue.toneHz = 2000;
        testmedia::ClipSpec tone = red;
        tone.container = "m4a";
        tone.videoCodec.clear();
        if (!testmedia::makeClip(c.red, red)) c.red.clear();
        if (!testmedia::makeClip(c.blue, blue)) c.blue.clear();
        if (!testmedia::makeClip(c.toneOnly, tone)) c.toneOnly.clear();
        return c;
    }();
    return made;
}

bool isRed(const QImage& image) {
    if (image.isNull()) return false;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
}
bool isBlue(const QImage& image) {
    if (image.isNull()) return false;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return c.blue() > 180 && c.red() < 80 && c.green() < 80;
}

// A graph that passes everything on but whose Run fails, as a graph that cannot play does.
class GraphThatCannotRun : public preview::PreviewGraph, private preview::MediaControl {
public:
    explicit GraphThatCannotRun(preview::PreviewGraph& real) : real_(real) {}
    preview::MediaControl* mediaControl() override { return this; }
    preview::MediaEvents* mediaEvents() override { return real_.mediaEvents(); }
    preview::MediaSeeking* mediaSeeking() override { return real_.mediaSeeking(); }
    preview::VideoWindow* videoWindow() override { return real_.videoWindow(); }
    preview::BasicVideo* basicVideo() override { return real_.basicVideo(); }
    preview::BasicAudio* basicAudio() override { return real_.basicAudio(); }

private:
    media::Status run() override { return media::Status::fail("no renderer"); }
    media::Status pause() override { return real_.mediaControl()->pause(); }
    media::Status stop() override { return real_.mediaControl()->stop(); }
    preview::PreviewGraph& real_;
};

class PreviewTest : public testqt::PreviewWindowTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(clips().red.empty() || clips().blue.empty() || clips().toneOnly.empty());
    }

    // The enabled state of the player menu's items, by id.
    std::map<int, bool> menuItems() {
        std::map<int, bool> items;
        const std::unique_ptr<QMenu> menu = player()->buildPlayerMenu();
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) items[a->property("controlId").toInt()] = a->isEnabled();
        return items;
    }
};

}  // namespace

TEST_F(PreviewTest, PlaysThePicturesAndTheSoundInRealTimeRewindsAtTheEndAndClosesByItsCloseBox) {
    add(clips().red, 2 * kSecond);
    add(clips().blue, 2 * kSecond);
    QElapsedTimer pressed;
    pressed.start();
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing())
        << (boxes_.messages.empty() ? "" : boxes_.messages.back().text.toStdString());
    EXPECT_EQ(buttonText(ids::kPreview), "Stop");
    ASSERT_TRUE(player() && player()->window());
    QWidget* w = player()->window();
    EXPECT_EQ(w->windowTitle(), "PREVIEW");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->size(), QSize(160, 120)) << "the client area is the picture";
    EXPECT_EQ(player()->state(), PlayerState::Running);
    if (SoundServerEnvironment::server->running()) {
        EXPECT_TRUE(graph()->clockFollowsSound()) << "with a sound device the sound leads";
    }

    VideoRenderer* video = graph()->videoRenderer();
    ASSERT_TRUE(video);
    ASSERT_TRUE(runUntil([&] { return isRed(video->currentPicture()); }));
    ASSERT_TRUE(runUntil([&] { return isBlue(video->currentPicture()); }));
    // Played by the clock: the blue clip starts two seconds in, not as fast as decoding goes.
    EXPECT_GE(pressed.elapsed(), 1800);

    // The end of the stream rewinds to the first picture and stops; only Play and Close are
    // offered.
    ASSERT_TRUE(runUntil([&] { return player()->state() == PlayerState::Stopped; }, 10000));
    EXPECT_GE(pressed.elapsed(), 3800) << "the end comes when the sound has been played";
    ASSERT_TRUE(runUntil([&] { return isRed(video->currentPicture()); }));
    const std::map<int, bool> stopped{{playerids::kPlay, true},
                                      {playerids::kPause, false},
                                      {playerids::kStop, false},
                                      {playerids::kClose, true}};
    EXPECT_EQ(menuItems(), stopped);
    const PlaybackFigures figures = video->figures();
    EXPECT_GE(figures.shown, 30) << "of 40 pictures";
    EXPECT_LE(figures.largestOffset, kSecond / 10 + kSecond / 25);

    // Pause while Stopped does nothing; Play starts again from the beginning.
    player()->runCommand(playerids::kPause);
    EXPECT_EQ(player()->state(), PlayerState::Stopped);
    player()->runCommand(playerids::kPlay);
    EXPECT_EQ(player()->state(), PlayerState::Running);
    EXPECT_EQ(menuItems()[playerids::kPlay], false);
    player()->runCommand(playerids::kPause);
    EXPECT_EQ(player()->state(), PlayerState::Paused);
    EXPECT_EQ(menuItems()[playerids::kPause], false);
    EXPECT_EQ(menuItems()[playerids::kStop], true);
    const media::Ticks heldAt = graph()->clockNow();
    QThread::msleep(300);
    EXPECT_LE(graph()->clockNow() - heldAt, kSecond / 10) << "paused, the clock stands";
    player()->runCommand(playerids::kPlay);
    EXPECT_EQ(player()->state(), PlayerState::Running);

    // The close box stops the whole preview, as the Preview button does.
    w->close();
    ASSERT_TRUE(runUntil([&] { return !window_->jobState().previewing(); }));
    EXPECT_EQ(window_->preview(), nullptr);
    EXPECT_EQ(buttonText(ids::kPreview), "Preview");
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(PreviewTest, ClipsAreLimitedToTenSecondsOnlyForThePreview) {
    // Longer entries than their files: a source past its file's end holds its last picture.
    add(clips().red, 25 * kSecond);
    add(clips().blue, 25 * kSecond, 3, 2 * kSecond);
    add(clips().red, 25 * kSecond, 3, 2 * kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing());
    EXPECT_EQ(graph()->length(), 30 * kSecond);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window_->clips().at(i).duration, 25 * kSecond);
        EXPECT_EQ(window_->clips().audioSource(i).duration, 25 * kSecond);
    }
    // Join, pressed now, is refused; after the preview it builds the full durations.
    press(ids::kJoin);
    ASSERT_FALSE(boxes_.messages.empty());
    EXPECT_EQ(boxes_.messages.back().text, "Please stop Preview first!");
    press(ids::kPreview);
    EXPECT_FALSE(window_->jobState().previewing());
    EXPECT_EQ(buttonText(ids::kPreview), "Preview");
    timeline::TimelineBuilder builder(window_.get(), window_->clips(), window_->outputOptions());
    ASSERT_TRUE(builder.BuildTimeline());
    EXPECT_EQ(builder.length(), 75 * kSecond);

    // A clip shorter than the limit plays whole.
    window_->clips().clear();
    add(clips().red, 4 * kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing());
    EXPECT_EQ(graph()->length(), 4 * kSecond);
}

TEST_F(PreviewTest, PreviewPressedWhilePreviewingStopsWhateverTheListHolds) {
    add(clips().red, 2 * kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing());
    window_->clips().clear();
    window_->clips().rebuildAudioSources();
    press(ids::kPreview);
    EXPECT_FALSE(window_->jobState().previewing());
    EXPECT_EQ(buttonText(ids::kPreview), "Preview");
    EXPECT_TRUE(boxes_.messages.empty()) << "stopped, not refused for an empty list";
    press(ids::kPreview);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Add video files to list");
}

TEST_F(PreviewTest, AGraphThatCannotRunShowsWhyAndLeavesTheWindowIdle) {
    std::unique_ptr<GraphThatCannotRun> failing;
    timeline::PreviewGraphHook previous =
        timeline::setPreviewGraphHook([&](preview::PreviewGraph& real) {
            failing = std::make_unique<GraphThatCannotRun>(real);
            return failing.get();
        });
    add(clips().red, 2 * kSecond);
    add(clips().blue, 30 * kSecond);
    press(ids::kPreview);
    timeline::setPreviewGraphHook(previous);
    EXPECT_FALSE(window_->jobState().previewing());
    EXPECT_EQ(window_->preview(), nullptr);
    EXPECT_EQ(buttonText(ids::kPreview), "Preview");
    EXPECT_EQ(window_->clips().at(1).duration, 30 * kSecond);
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[0].text, "FAILED(hr=0x80004005) in pMC->Run()\n");
    EXPECT_EQ(boxes_.messages[0].caption, "Vantrel");
    EXPECT_EQ(boxes_.messages[1].text, "Could run graph");
}

TEST_F(PreviewTest, AResultWithoutPicturePlaysItsSoundWithTheWindowHidden) {
    add(clips().toneOnly, 2 * kSecond);
    add(clips().toneOnly, 2 * kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing());
    ASSERT_TRUE(player());
    EXPECT_TRUE(player()->isAudioOnly());
    EXPECT_FALSE(player()->window()->isVisible());
    EXPECT_EQ(player()->state(), PlayerState::Running);
    ASSERT_TRUE(runUntil([&] { return graph()->clockNow() > kSecond; }));
    press(ids::kPreview);
    EXPECT_FALSE(window_->jobState().previewing());
}

TEST_F(PreviewTest, ThePictureShownIsThePictureAJoinRendersBeforeEncoding) {
    add(clips().red, 2 * kSecond);
    add(clips().blue, 2 * kSecond, 3, kSecond);
    add(clips().red, 2 * kSecond, 7, kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing());
    VideoRenderer* video = graph()->videoRenderer();
    ASSERT_TRUE(video);

    // The Join's side: the same list through the same builder and engine, every frame.
    timeline::TimelineBuilder builder(window_.get(), window_->clips(), window_->outputOptions());
    ASSERT_TRUE(builder.BuildTimeline());
    std::shared_ptr<media::Timeline> joined = builder.takeCurrent();
    for (const auto& group : joined->groups()) group->setPreviewMode(false);
    media::render::RenderEngine engine;
    ASSERT_TRUE(engine.setTimelineObject(joined));
    ASSERT_TRUE(engine.connectFrontEnd());
    int videoGroup = -1;
    for (int g = 0; g < engine.outputCount(); ++g) {
        media::render::OutputInfo info;
        if (engine.outputInfo(g, info) && info.kind == media::MediaKind::Video) videoGroup = g;
    }
    ASSERT_GE(videoGroup, 0);
    ASSERT_TRUE(engine.run());
    PreviewClock unused(nullptr, false);
    PreviewSink converter(videoGroup, nullptr, -1, nullptr, unused, 0);

    // Times inside each transition and inside a clip.
    for (media::Ticks t : {kSecond * 3 / 2, kSecond * 5 / 2, kSecond * 7 / 2, kSecond * 9 / 2}) {
        media::Frame frame;
        do {
            ASSERT_TRUE(engine.nextVideoFrame(videoGroup, frame));
        } while (frame.pts < t);
        ASSERT_EQ(frame.pts, t);
        const QImage expected = converter.toImage(frame);

        ASSERT_TRUE(graph()->mediaSeeking()->setPositions(t));
        ASSERT_TRUE(graph()->mediaControl()->pause());
        ASSERT_TRUE(runUntil([&] { return video->figures().lastShownTime == t; })) << t;
        const QImage shown = video->currentPicture();
        ASSERT_EQ(shown.size(), expected.size());
        int worst = 0;
        for (int y = 0; y < shown.height(); y += 3)
            for (int x = 0; x < shown.width(); x += 3) {
                const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(worst, 2) << "at " << t;
    }
    engine.stop();
}
