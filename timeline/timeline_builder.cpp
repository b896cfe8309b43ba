// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/timeline_builder.h"

#include <QString>
#include <vector>

#include "timeline/clip_placement.h"
#include "timeline/output_frame_rate.h"
#include "timeline/transition_catalogue.h"
#include "ui/message_box.h"

namespace timeline {

namespace {

constexpr int kValidateFlags = media::kValidateCheck | media::kValidatePopup | media::kValidateReplace;

long long wholeSeconds(media::Ticks t) { return t / media::kTicksPerSecond; }

void say(QWidget* owner, const char* text) { ui::showPlainMessage(owner, QString::fromUtf8(text)); }

}  // namespace

TimelineBuilder::TimelineBuilder(QWidget* owner, const ClipList& clips, const OutputOptions& options,
                                 media::LocateFile locate)
    : owner_(owner), clips_(clips), options_(options), locate_(std::move(locate)) {}

media::Status TimelineBuilder::BuildTimeline() {
    auto tl = std::make_shared<media::Timeline>();
    if (!tl) {
        ui::showMessage(owner_, QStringLiteral("Could not create timeline"), QStringLiteral("Error"));
        return media::Status::outOfMemory("Could not create timeline");
    }
    std::vector<ClipTiming> timings;
    timings.reserve(static_cast<std::size_t>(clips_.count()));
    for (int i = 0; i < clips_.count(); ++i) {
        const ClipItem& c = clips_.at(i);
        timings.push_back({c.duration, c.transitionDuration, c.transitionIndex});
    }
    std::vector<Ticks> audio;
    for (int j = 0; j < clips_.audioSourceCount(); ++j) audio.push_back(clips_.audioSource(j).duration);
    const Placement placed = placeClips(timings, audio);
    length_ = placed.length;
    frameRate_ = outputFrameRate(options_, clips_);

    if (clips_.count() > 0) AddVideoGroup(*tl, placed);
    if (clips_.audioSourceCount() > 0) AddAudioGroup(*tl, placed);
    tl->validateSourceNames(kValidateFlags, locate_);
    timeline_ = std::move(tl);
    return media::Status::ok();
}

media::Status TimelineBuilder::AddVideoGroup(media::Timeline& tl, const Placement& placed) {
    std::shared_ptr<media::Group> group;
    if (auto st = tl.createGroup(group); st.failed()) {
        say(owner_, "Could not create empty node");
        return st;
    }
    if (auto st = group->setMediaType(media::GroupMediaType::makeVideo(options_.outputWidth, options_.outputHeight));
        st.failed()) {
        say(owner_, "Could not pVideoGroup->SetMediaType(&mtGroup)");
        return st;
    }
    if (auto st = group->setOutputFps(frameRate_); st.failed()) {
        say(owner_, "Could not SetOutputFPS");
        return st;
    }
    if (auto st = tl.addGroup(group); st.failed()) {
        say(owner_, "Could not add video group");
        return st;
    }

    for (int i = 0; i < clips_.count(); ++i) AddClipTrack(tl, group, i, placed.clips[static_cast<std::size_t>(i)]);
    return media::Status::ok();
}

media::Status TimelineBuilder::AddClipTrack(media::Timeline& tl, const std::shared_ptr<media::Group>& group, int i,
                                            const ClipPlacement& placed) {
    const media::Ticks start = placed.start, stop = placed.stop;
    std::shared_ptr<media::Track> track;
    if (auto st = tl.createTrack(track); st.failed()) {
        say(owner_, "Could not create empty track");
        return st;
    }
    if (auto st = group->vTrackInsBefore(track, -1); st.failed()) {
        say(owner_, "Could not insert track");
        return st;
    }
    const ClipItem& clip = clips_.at(i);
    const std::string path = clip.fileName.str();
    std::shared_ptr<media::Source> source;
    if (auto st = tl.createSource(source); st.failed()) {
        say(owner_, "Could not create the timeline source");
        return st;
    }
    if (auto st = source->setStartStop(start, stop); st.failed())
        ReportMediaError(owner_, st, QString::asprintf("SetStartStop(%lld,%lld)", wholeSeconds(start), wholeSeconds(stop)));
    if (auto st = source->setMediaTimes(0, stop - start); st.failed())
        ReportMediaError(owner_, st, QString::asprintf("SetMediaTimes(%d,%lld)", 0, wholeSeconds(stop - start)));
    if (auto st = source->setMediaName(path); st.failed())
        ReportMediaError(owner_, st, QStringLiteral("SetMediaName(%1)").arg(QString::fromStdString(path)));
    if (auto st = source->setStretchMode(options_.resizeMode); st.failed()) {
        ReportMediaError(owner_, st, QString::asprintf("SetStretchMode(%d)", static_cast<int>(options_.resizeMode)));
        return media::Status::fail(st.text());
    }
    if (auto st = track->srcAdd(source); st.failed()) {
        say(owner_, "Could not add source to track");
        return st;
    }
    if (placed.transitionTooLong)
        say(owner_, "Transition time should be less than");
    else if (placed.hasTransition())
        AddTransition(tl, *track, placed.transitionStart, placed.transitionStop, clip.transitionIndex);
    return media::Status::ok();
}

media::Status TimelineBuilder::AddTransition(media::Timeline& tl, media::Track& track, media::Ticks start,
                                             media::Ticks stop, int index) {
    if (index == TransitionCatalogue::kNone) return media::Status::ok();
    std::shared_ptr<media::Transition> transition;
    if (auto st = tl.createTransition(transition); st.failed()) {
        say(owner_, "Could not CreateEmptyNode TIMELINE_MAJOR_TYPE_TRANSITION");
        return st;
    }
    if (auto st = transition->setSubObjectGuid(std::string(TransitionCatalogue::effectClass(index))); st.failed()) {
        say(owner_, "Could not SetSubObjectGUID");
        return st;
    }
    if (auto st = transition->setStartStop(start, stop); st.failed()) {
        say(owner_, "Could not SetStartStop(TLTranStart, TLTranStop);");
        return st;
    }
    if (auto st = track.transAdd(transition); st.failed()) {
        say(owner_, "Could not TransAdd(pTransObj)");
        return st;
    }
    // Only the wipe patterns of the table carry a mask number; an index outside the table
    // runs the wipe with its own default pattern.
    if (index >= TransitionCatalogue::kFirstWipe && index < TransitionCatalogue::kCount) {
        auto setter = std::make_shared<media::PropertySetter>();
        media::Status st = setter->addProp("MaskNum", TransitionCatalogue::maskNum(index).value_or(0), 0);
        if (st.isOk()) st = transition->setPropertySetter(setter);
        if (st.failed()) {
            say(owner_, "Could not SetPropertySetter");
            return st;
        }
    }
    return media::Status::ok();
}

media::Status TimelineBuilder::AddAudioGroup(media::Timeline& tl, const Placement& placed) {
    std::shared_ptr<media::Group> group;
    if (auto st = tl.createGroup(group); st.failed()) {
        say(owner_, "Could not create pAudioGroupObj");
        return st;
    }
    if (auto st = group->setMediaType(media::GroupMediaType::makeAudio()); st.failed()) {
        say(owner_, "Could not set AudioGroupType");
        return st;
    }
    if (auto st = tl.addGroup(group); st.failed()) {
        say(owner_, "Could not add audio group");
        return st;
    }
    for (const AudioPlacement& a : placed.audio) AddAudioTrack(tl, group, a.entry, a.start, a.stop);
    return media::Status::ok();
}

media::Status TimelineBuilder::AddAudioTrack(media::Timeline& tl, const std::shared_ptr<media::Group>& group, int j,
                                             media::Ticks start, media::Ticks stop) {
    std::shared_ptr<media::Track> track;
    if (auto st = tl.createTrack(track); st.failed()) {
        say(owner_, "Could not create pTrack3Obj");
        return st;
    }
    if (auto st = group->vTrackInsBefore(track, -1); st.failed()) {
        say(owner_, "Could not insert pTrack3Obj");
        return st;
    }
    const std::string path = clips_.audioSource(j).fileName.str();
    std::shared_ptr<media::Source> source;
    if (auto st = tl.createSource(source); st.failed()) {
        say(owner_, "Could not create the pSource3Obj");
        return st;
    }
    (void)source->setStartStop(start, stop);
    if (source->setMediaTimes(0, stop - start).failed()) {
        say(owner_, "Could not set audio start and eng time!");
        return media::Status::fail("Could not set audio start and end time");
    }
    if (source->setMediaName(path).failed()) {
        say(owner_, "Could not configure pSource3Src");
        return media::Status::fail("Could not configure the audio source");
    }
    if (auto st = track->srcAdd(source); st.failed()) {
        say(owner_, "Could not add pSource3Obj to track");
        return st;
    }
    return media::Status::ok();
}

}  // namespace timeline
