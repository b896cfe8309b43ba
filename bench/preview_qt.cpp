// How well a preview plays on this machine: the reference project (five 10 s 1280x720
// 30 fps H.264 + AAC clips, a one-second Fade into clips 2 to 5) previewed at 720x480 for
// 30 seconds, the sound going to a sound server of the benchmark's own with a null sink.
// Preview is pressed on an offscreen main window, as a user presses it. Prints figures;
// never fails on time.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/control_ids.h"
#include "reference_project.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/render/frame_times.h"
#include "output/engine_preview_graph.h"
#include "output/vcd_core.h"
#include "support/media/sound_server.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "support/qt/run_until.h"
#include "timeline/preview_renderer.h"

namespace {

constexpr media::Ticks kSecond = 10'000'000;
using bench::kClipCount;
using bench::kClipSeconds;
using bench::kFadeIndex;
using bench::referenceClips;
constexpr int kPlaySeconds = 30;

double ms(media::Ticks t) {
    return static_cast<double>(t) / 10'000.0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string config = testmedia::scratchDir("bench-preview-config");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // Before Qt's sound system starts: it finds its server once per process.
    testmedia::SoundServer server;
    if (!server.running()) std::printf("no sound server: %s\n", server.why().c_str());
    QApplication app(argc, argv);

    const std::vector<std::string> clips = referenceClips();
    if (clips.empty()) return 1;

    SettingsStore store("KORVANE", "bench_preview");
    testqt::MessageRecorder boxes;
    CSlidemintDlg window(store, "english");
    window.initialise();
    // The kept list is read back on the window's worker; the project is put together after.
    testqt::runUntil([&] { return window.mediaWorkIdle(); });
    window.show();
    OutputOptions& o = window.outputOptions();
    o.outputWidth = 720;
    o.outputHeight = 480;
    o.frameRate = 30;
    o.resizeMode = 2;
    for (int i = 0; i < kClipCount; ++i)
        window.clips().append(clips[static_cast<std::size_t>(i)], kClipSeconds * kSecond,
                              i == 0 ? 0 : kFadeIndex, i == 0 ? 0 : kSecond);
    window.clips().rebuildAudioSources();

    const auto pressed = std::chrono::steady_clock::now();
    qobject_cast<QAbstractButton*>(window.control(ids::kPreview))->click();
    const auto returned = std::chrono::steady_clock::now();
    if (!window.jobState().previewing()) {
        std::printf("the preview did not start: %s\n",
                    boxes.messages.empty() ? "" : boxes.messages.back().text.toStdString().c_str());
        return 1;
    }
    EnginePreviewGraph& graph = *window.preview()->graph();
    VideoRenderer& video = *graph.videoRenderer();

    QElapsedTimer played;
    played.start();
    while (played.elapsed() < kPlaySeconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    const media::Ticks reached = graph.clockNow();
    const PlaybackFigures figures = video.figures();

    // Pause and Play as the menu gives them: how long until the clock stands, and runs again.
    CVcdCore& player = *window.preview()->player();
    // Paused: the clock's last change; playing again: its first change.
    auto clockSettles = [&](bool running) {
        const auto start = std::chrono::steady_clock::now();
        auto changed = start;
        media::Ticks last = graph.clockNow();
        for (;;) {
            QThread::msleep(1);
            const auto now = std::chrono::steady_clock::now();
            const media::Ticks t = graph.clockNow();
            if (t != last) {
                changed = now;
                last = t;
                if (running) break;
            }
            if (!running && now - changed > std::chrono::milliseconds(200)) break;
            if (now - start > std::chrono::seconds(3)) break;
        }
        return std::chrono::duration<double, std::milli>(changed - start).count();
    };
    player.runCommand(playerids::kPause);
    const double pauseMs = clockSettles(false);
    player.runCommand(playerids::kPlay);
    const double playMs = clockSettles(true);
    const auto stopStart = std::chrono::steady_clock::now();
    player.runCommand(playerids::kStop);
    const double stopMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - stopStart)
            .count();

    const media::render::FrameTimes times(30);
    const std::int64_t due = times.firstAtOrAfter(reached);
    const std::int64_t dropped = std::max<std::int64_t>(0, due - figures.shown);
    std::printf("preview of %d x %d s clips, 1 s Fades, at 720x480 30 fps, played %.1f s\n",
                kClipCount, kClipSeconds, static_cast<double>(reached) / kSecond);
    std::printf("clock: %s\n", graph.clockFollowsSound() ? "audio" : "system");
    std::printf("dropped %lld of %lld frames (%lld refused in flight, %lld late at the window)\n",
                static_cast<long long>(dropped), static_cast<long long>(due),
                static_cast<long long>(figures.refused), static_cast<long long>(figures.late));
    std::printf("audio-video offset %.1f ms\n", ms(figures.largestOffset));
    if (figures.firstPicture)
        std::printf(
            "first picture after %.0f ms\n",
            std::chrono::duration<double, std::milli>(*figures.firstPicture - pressed).count());
    std::printf("the Preview command returned after %.0f ms\n",
                std::chrono::duration<double, std::milli>(returned - pressed).count());
    std::printf("pause took %.0f ms, play %.0f ms, stop %.0f ms\n", pauseMs, playMs, stopMs);

    qobject_cast<QAbstractButton*>(window.control(ids::kPreview))->click();
    return 0;
}
