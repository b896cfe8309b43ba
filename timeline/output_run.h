// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a running join holds from the moment it starts until the main window's
// stop-and-completion step: the timeline, the output render engine and the file output.
#include <memory>

#include "media/render/render_engine.h"
#include "media/timeline/timeline.h"
#include "media/writers/file_output.h"

namespace timeline {

class OutputRun {
public:
    OutputRun() = default;
    OutputRun(const OutputRun&) = delete;
    OutputRun& operator=(const OutputRun&) = delete;
    // A run dropped without stop() (the program ending mid-join) leaves no file behind.
    ~OutputRun();

    media::render::RenderEngine& engine() { return *engine_; }
    media::FileOutput* output() { return output_.get(); }
    const media::Timeline* timeline() const { return timeline_.get(); }

    // What the join copied unchanged; kept after stop().
    const media::CopyReport& copyReport() const { return copyReport_; }

    // The next queued event of the render, waiting up to timeoutMs (0: not at all).
    media::Status getEvent(media::render::EngineEvent& out, int timeoutMs);

    // Stop and completion: the engine stops, the notification is cancelled, the file is
    // finished with what was written, and engine and timeline are let go. Safe to repeat.
    // Stopped before its first picture, no file is made (media::wroteNothing).
    media::Status stop();
    // After an error: as stop(), but the unfinished file is removed.
    void abandon();

private:
    friend class OutputRenderer;
    void release();

    std::shared_ptr<media::Timeline> timeline_;
    std::unique_ptr<media::render::RenderEngine> engine_;
    std::unique_ptr<media::FileOutput> output_;
    media::CopyReport copyReport_;
};

}  // namespace timeline
