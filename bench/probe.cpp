// SPDX-License-Identifier: GPL-3.0-or-later
// How long measuring one added clip takes. The window's media worker does it, once per
// clip, so it is how long an added clip takes to appear and how long a start that reads back
// a kept list of many clips keeps measuring.
// Prints the median, fastest and slowest of many measurements of a 10-second 1280x720
// H.264 MP4 with AAC sound. Target: a median under 30 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "media/probe/probe_clip.h"
#include "support/media/test_media.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const std::string dir = testmedia::scratchDir("bench_probe");
    const std::string clip = dir + "/720p.mp4";
    testmedia::ClipSpec recipe;
    recipe.width = 1280;
    recipe.height = 720;
    recipe.seconds = 10.0;
    recipe.frameRate = "30";
    recipe.colour = "0x3366cc";
    if (!testmedia::makeClip(clip, recipe)) return 1;

    using Clock = std::chrono::steady_clock;
    auto measureOnce = [&] {
        auto t0 = Clock::now();
        media::ClipInfo info = media::probeClip(clip);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (!info.ok()) {
            std::fprintf(stderr, "measuring failed: %s\n", info.status.text().c_str());
            std::exit(1);
        }
        return ms;
    };

    const double first = measureOnce();  // cold: decoders and demuxers initialise
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) ms.push_back(measureOnce());
    std::sort(ms.begin(), ms.end());
    std::printf("probe 10 s 1280x720 H.264+AAC MP4, %d runs\n", runs);
    std::printf("  first   %7.2f ms\n", first);
    std::printf("  median  %7.2f ms   (target < 30 ms)\n", ms[ms.size() / 2]);
    std::printf("  fastest %7.2f ms\n", ms.front());
    std::printf("  slowest %7.2f ms\n", ms.back());
    return 0;
}
