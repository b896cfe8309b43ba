// SPDX-License-Identifier: GPL-3.0-or-later
// How well a preview plays on this machine: the reference project (five 10 s 1280x720
// 30 fps H.264 + AAC clips, a one-second Fade into clips 2 to 5, each clip with a tone of
// its own) previewed at 720x480 for 30 seconds, twice: on a quiet machine, and with two
// busy processes of the benchmark's own taking both cores. The sound goes to a sound
// server of the benchmark's own, whose null sink is recorded, so that what was heard is
// measured: its gaps, and its pace against the wall clock. Preview is pressed on an
// offscreen main window, as a user presses it. Prints figures; never fails on time.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/probe/probe_clip.h"
#include "media/render/frame_times.h"
#include "output/engine_preview_graph.h"
#include "output/vcd_core.h"
#include "reference_project.h"
#include "support/media/sink_recording.h"
#include "support/media/sound_server.h"
#include "support/media/test_media.h"
#include "support/media/tone_share.h"
#include "support/qt/recorders.h"
#include "timeline/preview_renderer.h"

namespace {

constexpr media::Ticks kSecond = 10'000'000;
constexpr int kPlaySeconds = 30;
constexpr int kFps = 30;
using bench::kClipCount;
using bench::kClipSeconds;
using bench::kFadeIndex;

double ms(media::Ticks t) {
    return static_cast<double>(t) / 10'000.0;
}

// Two processes that do nothing but count, one for each core.
class BusyCores {
public:
    explicit BusyCores(int count) {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned long n = 0;
                for (;;) n = n + 1;
            }
            if (pid > 0) pids_.push_back(pid);
        }
    }
    ~BusyCores() {
        for (pid_t pid : pids_) {
            ::kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

private:
    std::vector<pid_t> pids_;
};

// Moments when the machine ran none of the benchmark's threads: a thread of its own asks to
// wake every millisecond and notes every wake-up that came more than 20 ms late. On a
// virtual machine the host can hold both processors for a tenth of a second; no program
// shows a picture then, so the offset is also given away from those moments.
class StallWatch {
public:
    using Clock = std::chrono::steady_clock;
    struct Stall {
        Clock::time_point from, to;
    };
    StallWatch()
        : thread_([this] {
              auto last = Clock::now();
              while (!done_) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  const auto now = Clock::now();
                  if (now - last > kLate) {
                      std::lock_guard lock(mutex_);
                      stalls_.push_back({last, now});
                  }
                  last = now;
              }
          }) {}
    ~StallWatch() {
        done_ = true;
        thread_.join();
    }
    std::vector<Stall> stalls() const {
        std::lock_guard lock(mutex_);
        return stalls_;
    }
    // True when `t` lies in a stall or within `after` of its end (the picture due then
    // comes only once the machine runs again).
    static bool near(const std::vector<Stall>& stalls, Clock::time_point t, Clock::duration after) {
        return std::any_of(stalls.begin(), stalls.end(),
                           [&](const Stall& s) { return t >= s.from && t <= s.to + after; });
    }

private:
    static constexpr auto kLate = std::chrono::milliseconds(20);
    std::atomic<bool> done_{false};
    mutable std::mutex mutex_;
    std::vector<Stall> stalls_;
    std::thread thread_;
};

struct RunFigures {
    bool followsSound = false;
    std::int64_t shown = 0, due = 0;
    int gaps = 0;
    double longestGapMs = 0;
    std::vector<double> gapsAt;  // seconds after the first sound
    double pace = 0;             // media time over wall time
    double worstOffsetMs = 0, meanOffsetMs = 0;
    double worstOffsetAwayFromStallsMs = 0;
    int stalls = 0;
    double longestStallMs = 0, stalledMs = 0;
    double firstPictureMs = -1;
};

// Where in the recording (seconds) the tone of `hz` takes over, searching from `from`.
double toneStarts(const std::vector<float>& heard, double from, double hz) {
    const int rate = testmedia::SinkRecording::kRate;
    const std::size_t window = rate / 200;  // 5 ms
    for (auto i = static_cast<std::size_t>(from * rate); i + window < heard.size(); i += window / 5)
        if (testmedia::toneShare(heard, i, window, hz, rate) > 0.6) return double(i) / rate;
    return -1;
}

RunFigures previewOnce(CSlidemintDlg& window, const char* label) {
    RunFigures f;
    testmedia::SinkRecording recording;
    if (!recording.running()) std::printf("%s: the null sink could not be recorded\n", label);
    const auto pressed = std::chrono::steady_clock::now();
    qobject_cast<QAbstractButton*>(window.control(ids::kPreview))->click();
    if (!window.jobState().previewing()) {
        std::printf("%s: the preview did not start\n", label);
        return f;
    }
    EnginePreviewGraph& graph = *window.preview()->graph();
    VideoRenderer& video = *graph.videoRenderer();
    const media::Ticks interval = kSecond / kFps;

    // The offset, sampled every frame period: how far the clock lies outside the time span
    // of the picture on screen.
    double offsetSum = 0;
    int samples = 0;
    std::vector<std::pair<StallWatch::Clock::time_point, double>> offsets;
    StallWatch watch;
    QElapsedTimer played;
    played.start();
    qint64 nextSample = 0;
    while (played.elapsed() < kPlaySeconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        if (played.elapsed() >= nextSample) {
            nextSample += 1000 / kFps;
            const media::Ticks shown = video.currentTime(), now = graph.clockNow();
            if (shown >= 0) {
                const media::Ticks outside =
                    now < shown ? shown - now : std::max<media::Ticks>(0, now - (shown + interval));
                f.worstOffsetMs = std::max(f.worstOffsetMs, ms(outside));
                offsets.emplace_back(StallWatch::Clock::now(), ms(outside));
                offsetSum += ms(outside);
                ++samples;
            }
        }
        QThread::msleep(1);
    }
    const media::Ticks reached = graph.clockNow();
    const std::vector<StallWatch::Stall> stalls = watch.stalls();
    for (const auto& stall : stalls) {
        const double length = std::chrono::duration<double, std::milli>(stall.to - stall.from).count();
        ++f.stalls;
        f.stalledMs += length;
        f.longestStallMs = std::max(f.longestStallMs, length);
    }
    for (const auto& [at, offset] : offsets)
        if (!StallWatch::near(stalls, at, std::chrono::milliseconds(2 * 1000 / kFps)))
            f.worstOffsetAwayFromStallsMs = std::max(f.worstOffsetAwayFromStallsMs, offset);
    const PlaybackFigures figures = video.figures();
    f.followsSound = graph.clockFollowsSound();
    f.meanOffsetMs = samples ? offsetSum / samples : 0;
    f.due = media::render::FrameTimes(kFps).firstAtOrAfter(reached);
    f.shown = figures.shown;
    if (figures.firstPicture)
        f.firstPictureMs =
            std::chrono::duration<double, std::milli>(*figures.firstPicture - pressed).count();
    qobject_cast<QAbstractButton*>(window.control(ids::kPreview))->click();

    const std::vector<float> heard = recording.stop();
    const auto sound = testmedia::soundSpans(heard, testmedia::SinkRecording::kRate);
    if (sound.empty()) return f;
    // Every silence between the first sound and the last is a gap: the project's own sound
    // runs without a break.
    for (std::size_t i = 1; i < sound.size(); ++i) {
        ++f.gaps;
        f.gapsAt.push_back(sound[i - 1].end - sound[0].start);
        f.longestGapMs = std::max(f.longestGapMs, 1000 * (sound[i].start - sound[i - 1].end));
    }
    // The pace: from where the second clip's tone takes over to where the third's does,
    // 10 s apart on the timeline (each clip's sound opens alike, so both marks lie alike).
    const double second = toneStarts(heard, sound[0].start + 5, 300 + 250);
    const double third = toneStarts(heard, second + 5, 300 + 250 * 2);
    if (second > 0 && third > second) f.pace = kClipSeconds / (third - second);
    return f;
}

void print(const char* label, const RunFigures& f) {
    std::printf("%s:\n", label);
    std::printf("  clock: %s\n", f.followsSound ? "audio" : "system");
    std::printf(
        "  pictures dropped: %lld of %lld (%.1f %%)\n",
        static_cast<long long>(std::max<std::int64_t>(0, f.due - f.shown)),
        static_cast<long long>(f.due),
        f.due ? 100.0 * double(std::max<std::int64_t>(0, f.due - f.shown)) / double(f.due) : 0.0);
    std::printf("  sound gaps: %d, longest %.1f ms", f.gaps, f.longestGapMs);
    for (std::size_t i = 0; i < f.gapsAt.size() && i < 8; ++i)
        std::printf("%s%.2f s", i == 0 ? " (at " : ", ", f.gapsAt[i]);
    std::printf("%s\n", f.gapsAt.empty() ? "" : ")");
    std::printf("  pace: %.4f of real time (%+.2f %%)\n", f.pace, 100.0 * (f.pace - 1.0));
    std::printf("  audio-video offset: at most %.1f ms, on average %.2f ms\n", f.worstOffsetMs,
                f.meanOffsetMs);
    std::printf("  machine stalls (no thread ran for over 20 ms): %d, longest %.0f ms, %.0f ms in all\n",
                f.stalls, f.longestStallMs, f.stalledMs);
    std::printf("  audio-video offset away from those stalls (two frame periods after each): at most %.1f ms\n",
                f.worstOffsetAwayFromStallsMs);
    std::printf("  first picture: %.0f ms after Preview was pressed\n", f.firstPictureMs);
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

    const std::vector<std::string> clips = bench::referenceClips();
    if (clips.empty()) return 1;

    SettingsStore store("KORVANE", "bench_preview");
    testqt::MessageRecorder boxes;
    CSlidemintDlg window(store, "english");
    window.initialise();
    window.show();
    OutputOptions& o = window.outputOptions();
    o.outputWidth = 720;
    o.outputHeight = 480;
    o.frameRate = kFps;
    o.resizeMode = 2;
    for (int i = 0; i < kClipCount; ++i) {
        const std::string& clip = clips[static_cast<std::size_t>(i)];
        window.clips().append(clip, kClipSeconds * kSecond, i == 0 ? 0 : kFadeIndex,
                              i == 0 ? 0 : kSecond);
        window.clips().at(i).hasPicture = media::probeClip(clip).video.has_value();
    }
    window.clips().rebuildAudioSources();

    std::printf("preview of %d x %d s clips, 1 s Fades, at 720x480 %d fps, %d s a run\n",
                kClipCount, kClipSeconds, kFps, kPlaySeconds);
    const RunFigures quiet = previewOnce(window, "quiet");
    print("quiet machine", quiet);
    RunFigures loaded;
    {
        BusyCores busy(2);
        loaded = previewOnce(window, "loaded");
    }
    print("two busy processes on the two cores", loaded);
    if (!boxes.messages.empty())
        std::printf("messages: %s\n", boxes.messages.back().text.toStdString().c_str());
    return 0;
}
