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
    // A real-time render gives each picture here first, from the group's picture thread as
    // soon as it is made, a few pictures ahead of its writeVideo. The sink can get it ready
    // there (a window converts it for display), so that writeVideo costs next to nothing
    // when the picture is due. A prepared picture may never be written: it came too late.
    virtual void prepareVideo(int /*group*/, const Frame& /*frame*/) {}
    // True when the sink shows each picture at its time by itself (a window with a timer): a
    // real-time render then hands each picture over a frame period early, so that a delivery
    // thread woken late by a busy machine does not make the picture late.
    virtual bool showsPicturesOnTime() const { return false; }
    virtual Status writeAudio(int group, const AudioBlock& block) = 0;
    // After the last frame and sample of every group; the render completes when this
    // succeeds (a writer finishes its file here). Not called when the render is stopped.
    virtual Status finish() { return Status::ok(); }
};

}  // namespace media::render
