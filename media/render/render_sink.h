// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/core/frame.h"
#include "media/core/status.h"
#include "media/render/audio_pipeline.h"

namespace media::render {

// Where a running render delivers its outputs: a file writer, or a preview window and its
// sound device. A file render calls from one engine thread, in time order across the
// groups; a real-time render calls each group from a thread of its own, in time order
// within the group, so a real-time sink must take calls for different groups at once.
// Frames are shared, read-only pictures: copy one (deepCopy) before changing it.
class RenderSink {
public:
    virtual ~RenderSink() = default;
    virtual Status writeVideo(int group, const Frame& frame) = 0;
    virtual Status writeAudio(int group, const AudioBlock& block) = 0;
    // After the last frame and sample of every group; the render completes when this
    // succeeds (a writer finishes its file here). Not called when the render is stopped.
    virtual Status finish() { return Status::ok(); }
};

}  // namespace media::render
