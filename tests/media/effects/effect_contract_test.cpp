// SPDX-License-Identifier: GPL-3.0-or-later
// What every transition promises the render engine, checked for all 46 of the catalogue.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "effect_test_support.h"
#include "support/media/test_pictures.h"

using effecttest::allTransitions;
using effecttest::samePixels;
using media::Frame;

namespace {

struct Size {
    int w, h;
};
// Odd and tiny sizes catch chroma rounding and grid arithmetic that runs off the picture.
constexpr Size kSizes[] = {{1, 1}, {2, 1}, {1, 3}, {3, 5}, {17, 9}, {64, 48}};

}  // namespace

TEST(TransitionEffects, StartExactlyOnAAndEndExactlyOnBAtEverySize) {
    for (const auto& t : allTransitions()) {
        auto effect = media::createEffect(t.params);
        ASSERT_NE(effect, nullptr) << t.name;
        for (Size s : kSizes) {
            const Frame a = testmedia::pictureA(s.w, s.h), b = testmedia::pictureB(s.w, s.h);
            for (double p : {0.0, -0.5, std::numeric_limits<double>::quiet_NaN()}) {
                Frame out(s.w, s.h);
                effect->render(a, b, p, out);
                EXPECT_TRUE(samePixels(out, a))
                    << t.name << " at " << p << ", " << s.w << "x" << s.h;
            }
            for (double p : {1.0, 3.0}) {
                Frame out(s.w, s.h);
                effect->render(a, b, p, out);
                EXPECT_TRUE(samePixels(out, b))
                    << t.name << " at " << p << ", " << s.w << "x" << s.h;
            }
            // Every moment in between draws without fault at this size (ASan watches the reads).
            for (double p : {0.01, 0.33, 0.5, 0.77, 0.99}) {
                Frame out(s.w, s.h);
                effect->render(a, b, p, out);
            }
        }
    }
}

TEST(TransitionEffects, NoPixelEverTurnsBackFromBToA) {
    // With A black and B white, the luma of every pixel shows how far it has turned to B.
    const int w = 37, h = 23;
    const Frame a = effecttest::solid(w, h, 16), b = effecttest::solid(w, h, 235);
    for (const auto& t : allTransitions()) {
        auto effect = media::createEffect(t.params);
        Frame previous = media::deepCopy(a);
        int stillA = 0, alreadyB = 0;
        for (int step = 1; step <= 40; ++step) {
            const double p = step / 40.0;
            Frame out(w, h);
            effect->render(a, b, p, out);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_GE(out.row(0, y)[x], previous.row(0, y)[x])
                        << t.name << " at " << p << " (" << x << ", " << y << ")";
            if (step == 20)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        stillA += out.row(0, y)[x] == 16;
                        alreadyB += out.row(0, y)[x] == 235;
                    }
            previous = out;
        }
        // Half-way, no transition is still all A or already all B.
        EXPECT_LT(stillA, w * h) << t.name;
        EXPECT_LT(alreadyB, w * h) << t.name;
    }
}

TEST(TransitionEffects, DrawIntoTheFrameOfAAsIntoAFreshFrame) {
    const Frame a = testmedia::pictureA(33, 21), b = testmedia::pictureB(33, 21);
    for (const auto& t : allTransitions()) {
        auto effect = media::createEffect(t.params);
        for (double p : {0.3, 0.6}) {
            Frame fresh(33, 21);
            effect->render(a, b, p, fresh);
            Frame inPlace = media::deepCopy(a);
            effect->render(inPlace, b, p, inPlace);
            EXPECT_TRUE(samePixels(fresh, inPlace)) << t.name << " at " << p;
        }
    }
}

TEST(TransitionEffects, LeaveTheOutputAloneWhenSizesDisagree) {
    const Frame a = testmedia::pictureA(16, 16), b = testmedia::pictureB(8, 8);
    for (const auto& t : allTransitions()) {
        auto effect = media::createEffect(t.params);
        Frame out(16, 16), empty;
        effect->render(a, b, 0.5, out);
        effect->render(a, a, 0.5, empty);
        EXPECT_TRUE(samePixels(out, Frame(16, 16))) << t.name;
    }
}

TEST(TransitionEffects, RepeatTheSameFramesForTheSameSeed) {
    const Frame a = testmedia::pictureA(40, 30), b = testmedia::pictureB(40, 30);
    const auto first = allTransitions(11), again = allTransitions(11), other = allTransitions(12);
    for (std::size_t i = 0; i < first.size(); ++i) {
        Frame x(40, 30), y(40, 30), z(40, 30);
        media::createEffect(first[i].params)->render(a, b, 0.4, x);
        media::createEffect(again[i].params)->render(a, b, 0.4, y);
        media::createEffect(other[i].params)->render(a, b, 0.4, z);
        EXPECT_TRUE(samePixels(x, y)) << first[i].name;
        const bool random = first[i].name.find("Random") != std::string::npos;
        EXPECT_EQ(samePixels(x, z), !random)
            << first[i].name << ": the seed should matter only to random effects";
    }
}

TEST(TransitionEffects, DrawTheSameFromManyThreadsAtOnce) {
    // One effect object serves one transition; the engine may draw its frames in parallel,
    // so the first use of a frame size races to build the mask.
    const Frame a = testmedia::pictureA(96, 64), b = testmedia::pictureB(96, 64);
    for (const auto& t : allTransitions()) {
        Frame expected(96, 64);
        media::createEffect(t.params)->render(a, b, 0.45, expected);

        auto shared = media::createEffect(t.params);
        std::vector<Frame> results(4, Frame());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < results.size(); ++i)
            threads.emplace_back([&, i] {
                results[i] = Frame(96, 64);
                shared->render(a, b, 0.45, results[i]);
            });
        for (auto& th : threads) th.join();
        for (const Frame& r : results) EXPECT_TRUE(samePixels(r, expected)) << t.name;
    }
}

TEST(TransitionEffects, KeepWorkingWhenTheFrameSizeChanges) {
    // Preview and output may share one transition at two sizes; each size has its own mask.
    for (const auto& t : allTransitions()) {
        auto effect = media::createEffect(t.params);
        effect->prepare(0, 0);
        effect->prepare(-4, 3);
        effect->prepare(64, 48);
        for (int round = 0; round < 2; ++round)
            for (Size s :
                 {Size{64, 48}, Size{17, 9}, Size{32, 24}, Size{5, 5}, Size{9, 17}, Size{64, 48}}) {
                const Frame a = testmedia::pictureA(s.w, s.h), b = testmedia::pictureB(s.w, s.h);
                Frame viaShared(s.w, s.h), viaFresh(s.w, s.h);
                effect->render(a, b, 0.5, viaShared);
                media::createEffect(t.params)->render(a, b, 0.5, viaFresh);
                EXPECT_TRUE(samePixels(viaShared, viaFresh)) << t.name << " " << s.w << "x" << s.h;
            }
    }
}
