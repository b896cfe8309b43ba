// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/preview_renderer.h"

#include <new>
#include <vector>

#include "output/engine_preview_graph.h"
#include "output/vcd_core.h"
#include "timeline/timeline_builder.h"
#include "ui/message_box.h"

namespace timeline {

namespace {

PreviewGraphHook& graphHook() {
    static PreviewGraphHook hook;
    return hook;
}

void message(QWidget* owner, const char* text) {
    ui::showPlainMessage(owner, QString::fromUtf8(text));
}

// Limits every clip, picture and sound together, to the preview's length while it exists,
// and puts the real durations back when it goes, whatever happened in between.
class LimitedDurations {
public:
    explicit LimitedDurations(ClipList& clips) : clips_(clips) {
        const int n = clips.count();
        saved_.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const bool hasSound = i < clips.audioSourceCount();
            saved_.push_back({clips.at(i).duration, hasSound ? clips.audioSource(i).duration : 0});
            if (clips.at(i).duration > kPreviewClipLimit) {
                clips.at(i).duration = kPreviewClipLimit;
                if (hasSound) clips.audioSource(i).duration = kPreviewClipLimit;
            }
        }
    }
    ~LimitedDurations() {
        for (int i = 0; i < static_cast<int>(saved_.size()) && i < clips_.count(); ++i) {
            clips_.at(i).duration = saved_[static_cast<std::size_t>(i)].clip;
            if (i < clips_.audioSourceCount())
                clips_.audioSource(i).duration = saved_[static_cast<std::size_t>(i)].sound;
        }
    }
    LimitedDurations(const LimitedDurations&) = delete;
    LimitedDurations& operator=(const LimitedDurations&) = delete;

private:
    struct Saved {
        media::Ticks clip, sound;
    };
    ClipList& clips_;
    std::vector<Saved> saved_;
};

}  // namespace

PreviewGraphHook setPreviewGraphHook(PreviewGraphHook hook) {
    PreviewGraphHook previous = std::move(graphHook());
    graphHook() = std::move(hook);
    return previous;
}

PreviewRenderer::PreviewRenderer(QWidget* owner, ClipList& clips, const OutputOptions& options,
                                 media::LocateFile locate)
    : owner_(owner), clips_(clips), options_(options), locate_(std::move(locate)) {}

PreviewRenderer::~PreviewRenderer() {
    StopPreview();
}

bool PreviewRenderer::StartPreview() {
    LimitedDurations limited(clips_);
    TimelineBuilder builder(owner_, clips_, options_, locate_);
    if (!builder.BuildTimeline()) return false;
    timeline_ = builder.takeCurrent();
    if (startRendering()) return true;
    StopPreview();
    return false;
}

bool PreviewRenderer::startRendering() {
    engine_.reset(new (std::nothrow) media::render::RenderEngine);
    if (!engine_) {
        ui::showMessage(owner_, QStringLiteral("Could not create pRenderEngine"),
                        QStringLiteral("Error"));
        return false;
    }
    if (!engine_->setTimelineObject(timeline_)) {
        message(owner_, "Could not SetTimelineObject");
        return false;
    }
    // The groups stay in preview mode: the engine plays them in real time.
    if (!engine_->connectFrontEnd()) {
        message(owner_, "Could not ConnectFrontEnd");
        return false;
    }
    graph_.reset(new (std::nothrow) EnginePreviewGraph(*engine_));
    if (!graph_ || !graph_->renderOutputPins(resultHasPicture())) {
        message(owner_, "Could not RenderOutputPins");
        return false;
    }
    preview::PreviewGraph* played = graphHook() ? graphHook()(*graph_) : graph_.get();
    if (!played) {
        message(owner_, "Could not GetFilterGraph");
        return false;
    }
    player_ = std::make_unique<CVcdCore>(owner_);
    if (!player_->AttachGraph(played)) {
        player_.reset();
        message(owner_, "Could run graph");
        return false;
    }
    return true;
}

bool PreviewRenderer::resultHasPicture() const {
    // What measuring found when each clip was added or read back, on the media worker: the
    // start opens no file here.
    for (int i = 0; i < clips_.count(); ++i)
        if (clips_.at(i).hasPicture) return true;
    return false;
}

void PreviewRenderer::StopPreview() {
    if (player_) player_->ClosePlayer();
    player_.reset();
    graph_.reset();
    if (engine_) engine_->scrapIt();
    engine_.reset();
    timeline_.reset();
}

}  // namespace timeline
