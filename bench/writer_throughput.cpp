// SPDX-License-Identifier: GPL-3.0-or-later
// How fast each container's writer takes the joined pictures and sound: frames per second
// and megabytes written, for the encoders used when no compressor is chosen (and the
// Windows Media profile for WMV). Prints figures; it never passes or fails.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "media/wm/profile_generator.h"
#include "media/writers/media_writer.h"
#include "support/media/test_media.h"

namespace {

struct Run {
    const char* label;
    int code;
    const char* extension;
};

}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 1 ? std::atoi(argv[1]) : 640;
    const int height = argc > 2 ? std::atoi(argv[2]) : 480;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 150;
    const std::string dir = testmedia::scratchDir("bench_writer_throughput");

    media::wm::AudioStreamParams audio = media::wm::joinAudioParams(128000);
    media::wm::VideoStreamParams video = media::wm::joinVideoParams(width, height, 25.0, 798720);
    std::unique_ptr<media::wm::Profile> profile;
    if (!media::wm::GenerateProfile(&audio, nullptr, 1, &video, &profile, media::wm::kVersion9))
        return 1;

    // A picture that changes every frame, so that no encoder skips repeats.
    std::vector<media::Frame> pictures;
    for (int i = 0; i < 8; ++i) {
        media::Frame f(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                f.row(0, y)[x] = static_cast<std::uint8_t>(16 + (x + y + 13 * i) % 220);
        pictures.push_back(f);
    }
    const int perFrame = 44100 / 25;
    std::vector<float> left(perFrame), right(perFrame);
    for (int k = 0; k < perFrame; ++k)
        left[k] = right[k] = 0.3f * std::sin(2 * M_PI * 440.0 * k / 44100.0);
    const float* planes[2] = {left.data(), right.data()};

    const Run runs[] = {{"AVI, uncompressed RGB + PCM", 0, "avi"},
                        {"WMV, wmv2 + wmav2 (profile)", 1, "wmv"},
                        {"Matroska, uncompressed RGB + PCM", 2, "mkv"},
                        {"DSM, uncompressed RGB + PCM", 5, "dsm"},
                        {"Ogg, Theora + Vorbis", 6, "ogm"}};
    std::printf(
        "writer throughput, %d x %d, %d frames at 25 fps with stereo sound (machine shared, "
        "figures noisy)\n",
        width, height, frames);
    for (const Run& run : runs) {
        const std::string path = dir + "/out." + run.extension;
        media::WriterSettings s;
        s.path = path;
        s.formatCode = run.code;
        s.video = media::VideoStreamSpec{width, height, {25, 1}, {0, 1}};
        s.audio = media::AudioStreamSpec{};
        s.profile = profile.get();
        std::unique_ptr<media::MediaWriter> w;
        const auto start = std::chrono::steady_clock::now();
        media::Status st = media::openMediaWriter(std::move(s), w);
        for (int i = 0; st && i < frames; ++i) {
            media::Frame f = pictures[static_cast<std::size_t>(i) % pictures.size()];
            f.pts = static_cast<media::Ticks>(i) * media::kTicksPerSecond / 25;
            st = w->writeVideo(f);
            if (st) st = w->writeAudio(planes, perFrame);
        }
        if (st) st = w->finish();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!st) {
            std::printf("  %-34s failed: %s\n", run.label, st.text().c_str());
            continue;
        }
        const double mb = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
        std::printf("  %-34s %7.1f frames/s  %6.2fx real time  %8.2f MB\n", run.label,
                    frames / seconds, frames / 25.0 / seconds, mb);
        std::filesystem::remove(path);
    }
    return 0;
}
