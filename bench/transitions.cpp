// SPDX-License-Identifier: GPL-3.0-or-later
// Frames per second of every transition at 720x480 on one thread, mid-way through its course
// (the mask of a mask effect is built before timing starts, as it is once per transition).
// Figures only; nothing here passes or fails.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "media/effects/effect.h"
#include "support/media/test_pictures.h"
#include "timeline/transition_catalogue.h"

int main(int argc, char** argv) {
    using timeline::TransitionCatalogue;
    using Clock = std::chrono::steady_clock;
    const int width = 720, height = 480;
    const double seconds = argc > 1 ? std::stod(argv[1]) : 0.3;  // time spent on each effect
    const media::Frame a = testmedia::pictureA(width, height);
    const media::Frame b = testmedia::pictureB(width, height);
    media::Frame out(width, height);

    std::printf("%-4s %-32s %12s %14s\n", "#", "transition", "frames/s", "first frame ms");
    double slowest = 1e30;
    std::string slowestName;
    for (int index = 1; index < TransitionCatalogue::kCount; ++index) {
        auto effect = media::createEffect({std::string(TransitionCatalogue::effectClass(index)),
                                           TransitionCatalogue::maskNum(index), 1});
        const auto t0 = Clock::now();
        effect->render(a, b, 0.5, out);  // builds the mask, where there is one
        const double firstMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();

        int frames = 0;
        const auto start = Clock::now();
        double elapsed = 0;
        do {
            // Progress moves as in a real transition, so no frame is a copy of the last.
            effect->render(a, b, 0.05 + 0.9 * (frames % 97) / 97.0, out);
            ++frames;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < seconds);
        const double fps = frames / elapsed;
        std::printf("%-4d %-32s %12.0f %14.2f\n", index,
                    std::string(TransitionCatalogue::menuName(index)).c_str(), fps, firstMs);
        if (fps < slowest)
            slowest = fps, slowestName = std::string(TransitionCatalogue::menuName(index));
    }
    std::printf("slowest: %s, %.0f frames/s (target 400)\n", slowestName.c_str(), slowest);
    return 0;
}
