// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_harness.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/media/test_media.h"

namespace rendertest {

using namespace media;

std::shared_ptr<Timeline> makeTimeline(int width, int height, double fps,
                                       const std::vector<VideoClip>& video,
                                       const std::vector<AudioClip>& audio) {
    auto tl = std::make_shared<Timeline>();
    if (!video.empty()) {
        std::shared_ptr<Group> group;
        EXPECT_TRUE(tl->createGroup(group));
        EXPECT_TRUE(group->setMediaType(GroupMediaType::makeVideo(width, height)));
        EXPECT_TRUE(group->setOutputFps(fps));
        group->setPreviewMode(false);
        EXPECT_TRUE(tl->addGroup(group));
        for (const auto& c : video) {
            std::shared_ptr<Track> track;
            std::shared_ptr<Source> source;
            EXPECT_TRUE(tl->createTrack(track));
            EXPECT_TRUE(group->vTrackInsBefore(track, -1));
            EXPECT_TRUE(tl->createSource(source));
            EXPECT_TRUE(source->setStartStop(c.start, c.stop));
            EXPECT_TRUE(source->setMediaTimes(0, c.stop - c.start));
            EXPECT_TRUE(source->setMediaName(c.path));
            EXPECT_TRUE(source->setStretchMode(c.stretch));
            EXPECT_TRUE(track->srcAdd(source));
            if (!c.effect.empty()) {
                std::shared_ptr<Transition> x;
                EXPECT_TRUE(tl->createTransition(x));
                EXPECT_TRUE(x->setSubObjectGuid(c.effect));
                EXPECT_TRUE(x->setStartStop(c.start, c.transitionStop));
                EXPECT_TRUE(track->transAdd(x));
            }
        }
    }
    if (!audio.empty()) {
        std::shared_ptr<Group> group;
        EXPECT_TRUE(tl->createGroup(group));
        EXPECT_TRUE(group->setMediaType(GroupMediaType::makeAudio()));
        group->setPreviewMode(false);
        EXPECT_TRUE(tl->addGroup(group));
        for (const auto& c : audio) {
            std::shared_ptr<Track> track;
            std::shared_ptr<Source> source;
            EXPECT_TRUE(tl->createTrack(track));
            EXPECT_TRUE(group->vTrackInsBefore(track, -1));
            EXPECT_TRUE(tl->createSource(source));
            EXPECT_TRUE(source->setStartStop(c.start, c.stop));
            EXPECT_TRUE(source->setMediaTimes(0, c.stop - c.start));
            EXPECT_TRUE(source->setMediaName(c.path));
            EXPECT_TRUE(track->srcAdd(source));
        }
    }
    return tl;
}

Rendered renderAll(const std::shared_ptr<Timeline>& timeline) {
    Rendered r;
    render::RenderEngine engine;
    r.status = engine.setTimelineObject(timeline);
    if (r.status) r.status = engine.connectFrontEnd();
    if (r.status) r.status = engine.run();
    for (int g = 0; r.status && g < engine.outputCount(); ++g) {
        render::OutputInfo info;
        engine.outputInfo(g, info);
        if (info.kind == MediaKind::Video) {
            for (;;) {
                Frame f;
                Status s = engine.nextVideoFrame(g, f);
                if (s.code() == render::RenderEngine::kEndOfStream) break;
                if (!s) {
                    r.status = s;
                    break;
                }
                r.frames.push_back(f);
            }
        } else {
            for (;;) {
                render::AudioBlock b;
                Status s = engine.readAudio(g, 4000, b);
                if (s.code() == render::RenderEngine::kEndOfStream) break;
                if (!s) {
                    r.status = s;
                    break;
                }
                r.sound.resize(b.samples.size());
                for (std::size_t c = 0; c < b.samples.size(); ++c)
                    r.sound[c].insert(r.sound[c].end(), b.samples[c].begin(), b.samples[c].end());
            }
        }
    }
    engine.stop();
    render::EngineEvent e;
    while (engine.getEvent(e, 0)) r.events.push_back(e);
    return r;
}

std::array<int, 3> colourAt(const Frame& f, int x, int y) {
    std::array<int, 3> sum{};
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int px = std::clamp(x + dx, 0, f.width() - 1),
                py = std::clamp(y + dy, 0, f.height() - 1);
            auto c = f.rgbAt(px, py);
            for (int i = 0; i < 3; ++i) sum[i] += c[i];
            ++n;
        }
    for (auto& v : sum) v /= n;
    return sum;
}

std::string clipPath(const std::string& name) {
    static const std::string dir = testmedia::scratchDir("render-clips");
    return dir + "/" + name;
}

}  // namespace rendertest
