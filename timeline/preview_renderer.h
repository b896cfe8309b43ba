// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Preview: the joined result played in the player window before a Join. The same timeline
// as a Join is built, from the clips each limited to their first 10 seconds, and played by
// the render engine in real time through the player. Runs on the interface thread; each
// failing step tells the user what failed and ends the start.
#include <functional>
#include <memory>

#include "app/clip_list.h"
#include "media/render/render_engine.h"
#include "media/timeline/timeline.h"
#include "output/output_options.h"

class CVcdCore;
class EnginePreviewGraph;
class QWidget;

namespace preview {
class PreviewGraph;
}

namespace timeline {

// A clip plays at most this long in a preview (10 seconds).
inline constexpr media::Ticks kPreviewClipLimit = 100'000'000;

// Lets a test put a graph of its own between the played graph and the player; empty:
// the player gets the played graph itself. Returns the previous hook.
using PreviewGraphHook = std::function<preview::PreviewGraph*(preview::PreviewGraph& played)>;
PreviewGraphHook setPreviewGraphHook(PreviewGraphHook hook);

class PreviewRenderer {
public:
    // `owner` is the main window: it owns the messages and the player window posts its
    // Close to it. `clips` is limited during StartPreview only.
    PreviewRenderer(QWidget* owner, ClipList& clips, const OutputOptions& options,
                    media::LocateFile locate = {});
    ~PreviewRenderer();
    PreviewRenderer(const PreviewRenderer&) = delete;
    PreviewRenderer& operator=(const PreviewRenderer&) = delete;

    // True when the player received the graph and started playing it. The clip list has
    // its real durations again afterwards, whatever happened.
    bool StartPreview();
    // Closes the player and lets go of the graph, the engine and the timeline. Safe to repeat.
    void StopPreview();

    bool running() const { return player_ != nullptr; }
    CVcdCore* player() const { return player_.get(); }
    EnginePreviewGraph* graph() const { return graph_.get(); }
    const media::Timeline* timeline() const { return timeline_.get(); }

private:
    bool startRendering();
    bool resultHasPicture() const;

    QWidget* owner_;
    ClipList& clips_;
    const OutputOptions& options_;
    media::LocateFile locate_;
    std::shared_ptr<media::Timeline> timeline_;
    std::unique_ptr<media::render::RenderEngine> engine_;
    std::unique_ptr<EnginePreviewGraph> graph_;
    std::unique_ptr<CVcdCore> player_;
};

}  // namespace timeline
