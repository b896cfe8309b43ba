// SPDX-License-Identifier: GPL-3.0-or-later
// How long a Join of the reference project takes, next to the ffmpeg command line doing the
// same work (xfade and acrossfade) and next to ffmpeg only decoding the inputs. The project:
// five 10 s 1280x720 30 fps H.264 + AAC clips, a one-second Fade into clips 2 to 5, written
// once as 352x240 23.976 fps WMV (780 kbps video, 128 kbps audio, the Windows Media
// profile) and once as 720x480 AVI with the MPEG-4 Part 2 compressor. Then the copying join of
// camera-like clips (see smartJoinCase). Our Join is pressed on an offscreen main window, as a
// user presses it. Prints figures; never fails on time.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "app/control_ids.h"
#include "reference_project.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/codecs/codec_state_store.h"
#include "media/codecs/compressor_registry.h"
#include "media/codecs/encoder_settings.h"
#include "support/media/installed_compressor.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "support/qt/run_until.h"
#include "timeline/clip_placement.h"
#include "output/filter_property_dialog.h"
#include "timeline/output_renderer.h"

namespace {

using media::codecs::CompressorCategory;
using media::codecs::CompressorRef;

constexpr media::Ticks kSecond = 10'000'000;
using bench::kClipCount;
using bench::kClipSeconds;
using bench::kFadeIndex;
using bench::referenceClips;
int repeats = 2;  // each figure is the best of this many runs

// The bitrates the user types in the Options dialog, in kbps; the dialog counts 1024 bits.
constexpr int kWmvVideoKbps = 780;
constexpr int kAudioKbps = 128;
// The MPEG-4 compressor of the AVI runs, set in its configuration dialog's Bitrate mode.
constexpr std::int64_t kAviVideoBitrate = 2'000'000;

std::string quoted(const std::string& s) { return "'" + s + "'"; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double seconds(media::Ticks t) { return static_cast<double>(t) / kSecond; }

// What one output of the bench is, for our Join and for the ffmpeg command line alike.
struct Target {
    std::string label;
    std::string extension;
    int format = 1;  // the Options dialog's container code
    int width = 0, height = 0;
    double frameRate = 23.976;
    std::string ffmpegRate;  // the frame rate our file declares, as ffmpeg takes it
    std::string ffmpegCodecs;
    std::string ffmpegMuxer;
    std::string videoEncoder, audioEncoder;  // AVI: the compressors bound in the Options dialog
};

// Presses Join on a fresh offscreen main window that `setUp` gave its clips and options; the
// time from the press until the window leaves Converting, or a negative time when the Join
// did not succeed. `status` receives the window's last status line.
double timeWindowJoin(const std::function<void(CSlidemintDlg&)>& setUp, const std::string& output,
                      std::string* status = nullptr) {
    SettingsStore store("KORVANE", "bench_join");
    testqt::MessageRecorder boxes;
    CSlidemintDlg window(store, "english");
    window.initialise();
    // The kept list is read back on the window's worker; the project is put together after.
    testqt::runUntil([&] { return window.mediaWorkIdle(); });
    window.clips().clear();  // the list kept from the run before
    window.outputOptions().outputName = QString::fromStdString(output);
    setUp(window);
    std::filesystem::remove(output);

    const auto start = std::chrono::steady_clock::now();
    qobject_cast<QAbstractButton*>(window.control(ids::kJoin))->click();
    while (window.jobState().converting()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    const double elapsed = secondsSince(start);
    if (status) *status = window.statusText().toStdString();
    const bool done = window.statusText().startsWith("Done. ") && std::filesystem::exists(output) &&
                      std::filesystem::file_size(output) > 0;
    if (!done || !boxes.messages.empty()) {
        std::fprintf(stderr, "our Join to %s did not succeed: %s %s\n", output.c_str(),
                     window.statusText().toStdString().c_str(),
                     boxes.messages.empty() ? "" : boxes.messages.back().text.toStdString().c_str());
        return -1.0;
    }
    return elapsed;
}

// Our Join of the reference project to `t`.
double timeOurJoin(const std::vector<std::string>& clips, const Target& t, const std::string& output) {
    return timeWindowJoin([&](CSlidemintDlg& window) {
    OutputOptions& o = window.outputOptions();
    o.outputFormat = t.format;
    o.outputWidth = t.width;
    o.outputHeight = t.height;
    o.frameRate = t.frameRate;
    o.resizeMode = 2;
    o.videoBitrate = kWmvVideoKbps * 1024;
    o.audioBitrate = kAudioKbps * 1000;
    o.useVideoCompressor = t.videoEncoder.empty() ? 0 : 1;
    o.useAudioCompressor = t.audioEncoder.empty() ? 0 : 1;
    if (!t.videoEncoder.empty()) window.boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, t.videoEncoder);
    if (!t.audioEncoder.empty()) {
        // The reference's 128 kbps, given for this join as clipfuse-join --audio-bitrate does.
        media::codecs::CompressorRef audio = testmedia::installedCompressor(CompressorCategory::Audio, t.audioEncoder);
        window.boundCompressors().audio = audio ? audio->withBitrate(kAudioKbps * 1000) : nullptr;
    }
    ClipList& list = window.clips();
    for (int i = 0; i < kClipCount; ++i)
        list.append(clips[static_cast<std::size_t>(i)], kClipSeconds * kSecond, i == 0 ? 0 : kFadeIndex,
                    i == 0 ? 0 : kSecond);
    list.rebuildAudioSources();
    }, output);
}

// The placement our timeline builder makes of the project, video and sound.
timeline::Placement ourPlacement(bool sound) {
    std::vector<timeline::ClipTiming> timings;
    std::vector<timeline::Ticks> audio;
    for (int i = 0; i < kClipCount; ++i) {
        if (sound) {
            timings.push_back({kClipSeconds * kSecond, 0, 0});
            audio.push_back(kClipSeconds * kSecond);
        } else {
            timings.push_back({kClipSeconds * kSecond, i == 0 ? 0 : kSecond, i == 0 ? 0 : kFadeIndex});
        }
    }
    return timeline::placeClips(timings, audio);
}

// The filter graph that makes the same pictures and sound as our timeline. xfade lays its
// second input from `offset` on, so each offset is where our timeline starts that clip (its
// transition's start). Our timeline keeps a clip on after its media ends (its last picture
// held) until its stop, under the next clip's transition; where a layer would end before the
// next transition does, it is padded with black. Both outputs are equally long. Our sound lies end to end with
// no overlap; acrossfade overlaps, so each clip's sound but the last is padded with one
// transition's length of silence, which puts every clip's sound where ours is.
std::string filterGraph(const Target& t) {
    const timeline::Placement video = ourPlacement(false);
    const timeline::Placement sound = ourPlacement(true);
    std::ostringstream g;
    for (int i = 0; i < kClipCount; ++i) {
        const auto& p = video.clips[static_cast<std::size_t>(i)];
        const double media = kClipSeconds;
        const double shown = seconds(p.stop - p.start);
        double below = shown;  // how long the layer must last under the next clip's transition
        if (i + 1 < kClipCount) {
            const auto& next = video.clips[static_cast<std::size_t>(i + 1)];
            below = std::max(shown, seconds(next.transitionStop - p.start));
        }
        g << "[" << i << ":v]fps=" << t.ffmpegRate << ",scale=" << t.width << ":" << t.height
          << ":force_original_aspect_ratio=decrease,pad=" << t.width << ":" << t.height
          << ":-1:-1:black,setsar=1,format=yuv420p";
        if (shown > media) g << ",tpad=stop_mode=clone:stop_duration=" << shown - media;
        if (below > shown) g << ",tpad=stop_mode=add:color=black:stop_duration=" << below - shown;
        g << ",trim=duration=" << below << "[v" << i << "];";
    }
    std::string last = "v0";
    for (int i = 1; i < kClipCount; ++i) {
        const auto& p = video.clips[static_cast<std::size_t>(i)];
        const std::string out = "x" + std::to_string(i);
        g << "[" << last << "][v" << i << "]xfade=transition=fade:duration="
          << seconds(p.transitionStop - p.transitionStart) << ":offset=" << seconds(p.transitionStart) << "["
          << out << "];";
        last = out;
    }
    g << "[" << last << "]trim=duration=" << seconds(video.length) << "[vout];";
    for (int i = 0; i < kClipCount; ++i) {
        const auto& a = sound.audio[static_cast<std::size_t>(i)];
        const double span = seconds(a.stop - a.start);
        g << "[" << i << ":a]aresample=44100,aformat=channel_layouts=stereo,atrim=duration=" << span
          << ",apad=whole_dur=" << span + (i + 1 < kClipCount ? 1.0 : 0.0) << "[a" << i << "];";
    }
    last = "a0";
    for (int i = 1; i < kClipCount; ++i) {
        const std::string out = "y" + std::to_string(i);
        g << "[" << last << "][a" << i << "]acrossfade=d=1[" << out << "];";
        last = out;
    }
    g << "[" << last << "]atrim=duration=" << seconds(sound.length) << "[aout]";
    return g.str();
}

double timeFfmpeg(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    std::string out;
    if (testmedia::run(command, &out) != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n%s\n", command.c_str(), out.c_str());
        return -1.0;
    }
    return secondsSince(start);
}

std::string inputs(const std::vector<std::string>& clips) {
    std::string s;
    for (const auto& c : clips) s += " -i " + quoted(c);
    return s;
}

double timeFfmpegJoin(const std::vector<std::string>& clips, const Target& t, const std::string& output) {
    std::filesystem::remove(output);
    const std::string cmd = std::string(CLIPFUSE_FFMPEG_CLI) + " -nostdin -hide_banner -loglevel error -y" +
                            inputs(clips) + " -filter_complex " + quoted(filterGraph(t)) +
                            " -map '[vout]' -map '[aout]' " + t.ffmpegCodecs + " -f " + t.ffmpegMuxer + " " +
                            quoted(output);
    return timeFfmpeg(cmd);
}

// Decoding only: every clip's pictures and sound, each clip by its own ffmpeg run.
double timeDecodeOnly(const std::vector<std::string>& clips) {
    double total = 0;
    for (const auto& c : clips) {
        const double s = timeFfmpeg(std::string(CLIPFUSE_FFMPEG_CLI) +
                                    " -nostdin -hide_banner -loglevel error -i " + quoted(c) + " -f null -");
        if (s < 0) return -1.0;
        total += s;
    }
    return total;
}

double best(const std::function<double()>& measure) {
    double b = -1.0;
    for (int i = 0; i < repeats; ++i) {
        const double s = measure();
        if (s < 0) return -1.0;
        if (b < 0 || s < b) b = s;
    }
    return b;
}

// Keeps the bench's settings and codec configurations out of the user's own.
void privateSettingsFolder() {
    const char* root = std::getenv("CLIPFUSE_TEST_TMP");
    const std::filesystem::path dir =
        (root && *root ? std::filesystem::path(root) : std::filesystem::temp_directory_path() / "clipfuse-tests") /
        ("bench_join_config-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.string().c_str(), 1);
}

// The MPEG-4 compressor set to a bitrate, as the user sets it in its configuration dialog.
bool configureMpeg4() {
    media::codecs::EncoderSettings s;
    s.rateControl = media::codecs::RateControl::Bitrate;
    s.bitrate = kAviVideoBitrate;
    s.quality = 3;
    s.keyFrameInterval = 250;
    return media::codecs::userCodecStateStore()->save("mpeg4", media::codecs::serializeSettings("mpeg4", s)).isOk();
}

// Camera-like clips for the copying join: `count` clips of `length` s, 1280x720 30 fps
// H.264 (an IDR picture every second) + AAC, made once and kept in the scratch folder.
std::vector<std::string> cameraClips(int count, int length) {
    static const std::string dir = testmedia::scratchDir("bench_join_camera");
    std::vector<std::string> clips;
    for (int i = 0; i < count; ++i) {
        const std::string path = dir + "/camera_" + std::to_string(length) + "s_" + std::to_string(i) + ".mp4";
        if (!std::filesystem::exists(path) &&
            testmedia::run(std::string(CLIPFUSE_FFMPEG_CLI) +
                           " -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=30:duration=" +
                           std::to_string(length) + " -f lavfi -i sine=frequency=" + std::to_string(300 + 100 * i) +
                           ":duration=" + std::to_string(length) +
                           " -c:v libx264 -g 30 -keyint_min 30 -sc_threshold 0 -pix_fmt yuv420p -c:a aac -shortest " +
                           quoted(path)) != 0)
            return {};
        clips.push_back(path);
    }
    return clips;
}

// The copying join against the same join encoding every picture, and against a join that
// only copies packets with no transition at all (the floor): `count` clips of `length` s
// with one-second Fades into every clip but the first, MP4 at the clips' size and rate with
// libx264 (its defaults) and AAC.
bool smartJoinCase(int count, int length) {
    const std::vector<std::string> clips = cameraClips(count, length);
    if (clips.empty()) return false;
    const std::string dir = testmedia::scratchDir("bench_join_smart");
    auto ourJoin = [&](bool copy, std::string* status) {
        return timeWindowJoin(
            [&](CSlidemintDlg& window) {
                OutputOptions& o = window.outputOptions();
                o.outputFormat = 4;
                o.outputWidth = 1280;
                o.outputHeight = 720;
                o.frameRate = 30;
                o.resizeMode = 2;
                o.useVideoCompressor = 1;
                o.useAudioCompressor = 1;
                o.copyUnchanged = copy ? 1 : 0;
                window.boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "libx264");
                window.boundCompressors().audio = testmedia::installedCompressor(CompressorCategory::Audio, "aac");
                ClipList& list = window.clips();
                for (int i = 0; i < count; ++i)
                    list.append(clips[static_cast<std::size_t>(i)], length * kSecond, i == 0 ? 0 : kFadeIndex,
                                i == 0 ? 0 : kSecond);
                list.rebuildAudioSources();
            },
            dir + (copy ? "/copying.mp4" : "/encoding.mp4"), status);
    };
    // The MP4 writer's property dialog is accepted as it opens.
    auto previous = timeline::setFilterDialogRunner([](CDialogFilterPerproty&) {});
    std::string status;
    const double copying = best([&] { return ourJoin(true, &status); });
    const double encoding = best([&] { return ourJoin(false, nullptr); });
    timeline::setFilterDialogRunner(previous);
    const std::string listFile = dir + "/clips.txt";
    {
        std::ofstream list(listFile);
        for (const auto& c : clips) list << "file '" << c << "'\n";
    }
    const double floor = best([&] {
        return timeFfmpeg(std::string(CLIPFUSE_FFMPEG_CLI) + " -nostdin -loglevel error -y -f concat -safe 0 -i " +
                          quoted(listFile) + " -c copy " + quoted(dir + "/floor.mp4"));
    });
    std::printf("\nCopying join: %d clips of %d s 1280x720 30 fps H.264 (an IDR picture each second) + AAC, "
                "one-second Fades, MP4 with libx264 + AAC.\n",
                count, length);
    if (copying < 0 || encoding < 0 || floor < 0) {
        std::printf("could not be measured\n");
        return false;
    }
    const std::size_t copied = status.find(" copied");
    const std::size_t from = status.rfind("     ", copied);
    std::printf("%-40s %8.2f s   %s\n", "copying what no transition touches", copying,
                copied == std::string::npos || from == std::string::npos
                    ? "(nothing copied)"
                    : status.substr(from + 5, copied + 7 - from - 5).c_str());
    std::printf("%-40s %8.2f s   %.1f times the copying join's time (target: at least 5)\n",
                "encoding every picture (--reencode-all)", encoding, encoding / copying);
    std::printf("%-40s %8.2f s   (packet copy without transitions: the floor)\n", "ffmpeg -c copy", floor);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    privateSettingsFolder();
    QApplication app(argc, argv);
    if (!configureMpeg4()) {
        std::fprintf(stderr, "could not configure the MPEG-4 compressor\n");
        return 1;
    }
    // bench_join --copying [COUNT SECONDS]: only the copying join, e.g. ten 60 s clips by hand.
    if (argc > 1 && std::string(argv[1]) == "--copying") {
        const int count = argc > 3 ? std::atoi(argv[2]) : 4, length = argc > 3 ? std::atoi(argv[3]) : 15;
        if (count * length > 120) repeats = 1;  // a long job is measured once
        const bool ran = smartJoinCase(std::max(count, 2), std::max(length, 3));
        std::filesystem::remove_all(std::getenv("XDG_CONFIG_HOME"));
        return ran ? 0 : 1;
    }
    const std::vector<std::string> clips = referenceClips();
    if (clips.empty()) return 1;
    const std::string dir = testmedia::scratchDir("bench_join");

    // Our Windows Media writer encodes wmv2 and wmav2 from the profile: the pictures at the
    // timeline's 23.976 fps, a key frame at least every 8 s of the profile's whole-number
    // rate (184 frames). The ffmpeg runs are set up to write the same.
    const std::string ntscFilm = "24000/1001";
    const std::vector<Target> targets = {
        {"WMV 352x240 23.976 fps, wmv2 780 kbps + wmav2 128 kbps", "wmv", 1, 352, 240, 23.976, ntscFilm,
         "-c:v wmv2 -b:v " + std::to_string(kWmvVideoKbps * 1024) + " -g 184 -c:a wmav2 -b:a 128k -ar 44100 -ac 2",
         "asf", "", ""},
        {"AVI 720x480 23.976 fps, mpeg4 2000 kbps + AAC 128 kbps", "avi", 0, 720, 480, 23.976, ntscFilm,
         "-c:v mpeg4 -b:v " + std::to_string(kAviVideoBitrate) + " -g 250 -c:a aac -b:a 128k -ar 44100 -ac 2",
         "avi", "mpeg4", "aac"},
    };

    const unsigned cores = std::thread::hardware_concurrency();
    std::printf("Join of the reference project: %d clips of %d s 1280x720 30 fps H.264 + AAC, %d one-second "
                "Fades.\n",
                kClipCount, kClipSeconds, kClipCount - 1);
    std::printf("Machine: %u cores, shared with other work: the figures are noisy. Each is the best of %d "
                "runs; threads at their defaults on both sides.\n\n",
                cores, repeats);
    const double decode = best([&] { return timeDecodeOnly(clips); });
    std::printf("%-56s %8s %8s %7s %8s %8s %5s  %s\n", "output", "ours s", "ffmpeg s", "ours/ff", "decode s",
                "ours/dec", "cores", "targets (ours <= ffmpeg, ours <= 1.5 x decode)");
    bool allRan = decode >= 0;
    for (const Target& t : targets) {
        const double ours = best([&] { return timeOurJoin(clips, t, dir + "/ours." + t.extension); });
        const double ffmpeg = best([&] { return timeFfmpegJoin(clips, t, dir + "/ffmpeg." + t.extension); });
        if (ours < 0 || ffmpeg < 0 || decode < 0) {
            std::printf("%-56s could not be measured\n", t.label.c_str());
            allRan = false;
            continue;
        }
        const double vsFfmpeg = ours / ffmpeg, vsDecode = ours / decode;
        std::printf("%-56s %8.2f %8.2f %7.2f %8.2f %8.2f %5u  %s, %s\n", t.label.c_str(), ours, ffmpeg, vsFfmpeg,
                    decode, vsDecode, cores, vsFfmpeg <= 1.0 ? "met" : "MISSED", vsDecode <= 1.5 ? "met" : "MISSED");
    }
    allRan = smartJoinCase(4, 15) && allRan;
    std::filesystem::remove_all(std::getenv("XDG_CONFIG_HOME"));
    return allRan ? 0 : 1;
}
