// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the clip list and the output options into one editing timeline: a video group with
// one track per clip (each with the transition that leads into it) and an audio group that
// lays the clips' sound end to end. Shared by Join and Preview; runs on the interface thread
// and tells the user of each failure where it happens, then goes on with the rest.
#include <memory>

#include "app/clip_list.h"
#include "timeline/clip_placement.h"
#include "media/timeline/timeline.h"
#include "output/output_options.h"

class QWidget;

namespace timeline {

class TimelineBuilder {
public:
    // `owner` owns the message boxes; `locate` is asked for a clip file that has gone missing.
    TimelineBuilder(QWidget* owner, const ClipList& clips, const OutputOptions& options,
                    media::LocateFile locate = {});

    // Builds the timeline and makes it current(). Fails only when no timeline can be made.
    media::Status BuildTimeline();

    media::Status AddVideoGroup(media::Timeline& tl, const Placement& placed);
    media::Status AddClipTrack(media::Timeline& tl, const std::shared_ptr<media::Group>& group, int i,
                               const ClipPlacement& placed);
    media::Status AddAudioGroup(media::Timeline& tl, const Placement& placed);
    media::Status AddAudioTrack(media::Timeline& tl, const std::shared_ptr<media::Group>& group, int j,
                                media::Ticks start, media::Ticks stop);
    media::Status AddTransition(media::Timeline& tl, media::Track& track, media::Ticks start,
                                media::Ticks stop, int index);

    // The built timeline, handed over to whoever renders it.
    std::shared_ptr<media::Timeline> current() const { return timeline_; }
    std::shared_ptr<media::Timeline> takeCurrent() { return std::move(timeline_); }
    // L, the sum of the clip durations, as of the last build.
    media::Ticks length() const { return length_; }
    // The frame rate the video group renders at, as of the last build: the options' rate, or
    // the first clip's for "Original frame rate".
    double frameRate() const { return frameRate_; }

private:
    QWidget* owner_;
    const ClipList& clips_;
    const OutputOptions& options_;
    media::LocateFile locate_;
    std::shared_ptr<media::Timeline> timeline_;
    media::Ticks length_ = 0;
    double frameRate_ = 0.0;
};

}  // namespace timeline
