// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/render_plan.h"

#include <algorithm>
#include <functional>

#include "media/core/input_file.h"
#include "media/decode/picture_fit.h"
#include "media/decode/video_decoder.h"

namespace media::render {
namespace {

constexpr int kFallbackWidth = 640, kFallbackHeight = 480;

// The upright size of the picture of a file, even-sized for 4:2:0.
VideoFormat pictureSizeOf(const std::string& path) {
    decode::VideoDecoder decoder;
    const AVFrame* frame = nullptr;
    if (!decoder.open(path) || !decoder.frameAt(0, frame) || !frame)
        return {kFallbackWidth, kFallbackHeight};
    int w = frame->width, h = frame->height;
    if (decoder.rotation() == 90 || decoder.rotation() == 270) std::swap(w, h);
    return {std::max(2, w & ~1), std::max(2, h & ~1)};
}

}  // namespace

Ticks SourcePlan::mediaTimeAt(Ticks t) const {
    const Ticks span = stop - start, mediaSpan = mediaStop - mediaStart;
    if (span <= 0 || mediaSpan == span) return mediaStart + (t - start);
    // A source whose media span differs from its span plays faster or slower to fit.
    return mediaStart + static_cast<Ticks>(static_cast<double>(t - start) * mediaSpan / span);
}

double TransitionPlan::progressAt(Ticks t) const {
    if (stop <= start) return 1.0;
    return std::clamp(static_cast<double>(t - start) / static_cast<double>(stop - start), 0.0, 1.0);
}

Status makeRenderPlan(const Timeline& timeline, RenderPlan& out) {
    out = {};
    out.length = timeline.duration();
    for (const auto& group : timeline.groups()) {
        GroupPlan g;
        g.type = group->mediaType();
        g.fps = group->outputFps();
        g.previewMode = group->previewMode();
        const SourcePlan* earliest = nullptr;
        for (const auto& track : group->tracks()) {
            TrackPlan t;
            for (const auto& s : track->sources()) {
                if (s->stop() <= s->start()) continue;  // an empty span shows nothing
                t.sources.push_back({s->mediaName(), s->start(), s->stop(), s->mediaStart(),
                                     s->mediaStop(), s->stretchMode()});
            }
            for (const auto& x : track->transitions()) {
                if (x->stop() <= x->start()) continue;
                EffectParams params;
                params.classId = x->subObjectGuid();
                if (const PropertySetter* props = x->propertySetter())
                    params.maskNum = props->valueAtStart("MaskNum");
                // Effects that draw at random repeat themselves render after render.
                params.seed = static_cast<std::uint32_t>(std::hash<std::string>{}(params.classId) ^
                                                         static_cast<std::size_t>(x->start()));
                t.transitions.push_back({x->start(), x->stop(), std::move(params)});
            }
            g.tracks.push_back(std::move(t));
        }
        for (const auto& t : g.tracks)
            for (const auto& s : t.sources)
                if (!earliest || s.start < earliest->start) earliest = &s;
        if (g.type.kind == MediaKind::Video && g.type.video.width == 0 && g.type.video.height == 0)
            g.type.video = earliest ? pictureSizeOf(earliest->path)
                                    : VideoFormat{kFallbackWidth, kFallbackHeight};
        // Rows are stored top down whatever the sign of the height says.
        g.type.video.height = std::abs(g.type.video.height);
        out.groups.push_back(std::move(g));
    }
    return Status::ok();
}

}  // namespace media::render
