// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timelines built the way the program builds them, and renders collected in memory.
#include <memory>
#include <string>
#include <vector>

#include "media/render/render_engine.h"
#include "media/timeline/timeline.h"
#include "support/media/tone_share.h"

namespace rendertest {

using testmedia::toneShare;

using media::Ticks;

constexpr Ticks sec(double s) {
    return static_cast<Ticks>(s * 10'000'000);
}

struct VideoClip {
    VideoClip(std::string p, Ticks from, Ticks to, std::string fx = {}, Ticks fxStop = 0,
              int mode = 2)
        : path(std::move(p)),
          start(from),
          stop(to),
          effect(std::move(fx)),
          transitionStop(fxStop),
          stretch(mode) {}
    std::string path;
    Ticks start = 0, stop = 0;
    std::string effect;  // class id of the transition into the clip; empty for none
    Ticks transitionStop = 0;
    int stretch = 2;
};

struct AudioClip {
    AudioClip(std::string p, Ticks from, Ticks to) : path(std::move(p)), start(from), stop(to) {}
    std::string path;
    Ticks start = 0, stop = 0;
};

// A video group (one track per clip, each above the last) and, when audio is given, an
// audio group; preview mode off as for a file.
std::shared_ptr<media::Timeline> makeTimeline(int width, int height, double fps,
                                              const std::vector<VideoClip>& video,
                                              const std::vector<AudioClip>& audio);

struct Rendered {
    media::Status status;
    std::vector<media::Frame> frames;
    std::vector<std::vector<float>> sound;  // planar
    std::vector<media::render::EngineEvent> events;
};

// Pulls every frame and every sample of a connected engine.
Rendered renderAll(const std::shared_ptr<media::Timeline>& timeline);


// Mean RGB of a small square around (x, y).
std::array<int, 3> colourAt(const media::Frame& f, int x, int y);

// The test clips, made once per run in a shared folder.
std::string clipPath(const std::string& name);

}  // namespace rendertest
