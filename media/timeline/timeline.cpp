// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/timeline/timeline.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace media {
namespace {

bool overlaps(const TimelineObject& a, const TimelineObject& b) {
    return a.start() < b.stop() && b.start() < a.stop();
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits.
bool isClassId(const std::string& s) {
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? s[i] != '-' : !std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    }
    return true;
}

template <class T>
Status insertInTimeOrder(std::vector<std::shared_ptr<T>>& list, const std::shared_ptr<T>& item,
                         const char* what) {
    for (const auto& other : list)
        if (overlaps(*other, *item))
            return Status::invalidArg(std::string("The ") + what +
                                      " overlaps another one on the track.");
    auto at = std::upper_bound(list.begin(), list.end(), item, [](const auto& a, const auto& b) {
        return a->start() < b->start();
    });
    list.insert(at, item);
    return Status::ok();
}

}  // namespace

Status TimelineObject::setStartStop(Ticks start, Ticks stop) {
    if (stop < start) return Status::invalidArg("The stop time lies before the start time.");
    if (start < 0) return Status::invalidArg("The start time is negative.");
    if (attached_)
        return {Status::kUnexpected, "The object's times cannot change once it is on a track."};
    start_ = start;
    stop_ = stop;
    return Status::ok();
}

Status Source::setMediaTimes(Ticks mediaStart, Ticks mediaStop) {
    if (mediaStop < mediaStart || mediaStart < 0)
        return Status::invalidArg("The media times are not a valid span.");
    mediaStart_ = mediaStart;
    mediaStop_ = mediaStop;
    return Status::ok();
}

Status Source::setMediaName(const std::string& path) {
    if (path.empty()) return Status::invalidArg("The media name is empty.");
    if (path.find('\0') != std::string::npos)
        return Status::invalidArg("The media name holds a null character.");
    mediaName_ = path;
    return Status::ok();
}

Status Source::setStretchMode(int mode) {
    if (mode != static_cast<int>(StretchMode::Stretch) &&
        mode != static_cast<int>(StretchMode::PreserveAspectRatio))
        return Status::invalidArg("Unsupported stretch mode " + std::to_string(mode) + ".");
    stretch_ = static_cast<StretchMode>(mode);
    return Status::ok();
}

Status PropertySetter::addProp(const std::string& name, int value, Ticks time) {
    if (name.empty()) return Status::invalidArg("The property has no name.");
    if (time < 0) return Status::invalidArg("The property time is negative.");
    props_.push_back({name, value, time});
    return Status::ok();
}

std::optional<int> PropertySetter::valueAtStart(const std::string& name) const {
    // The first value set at time 0 wins, as a value at a later time takes over only then.
    for (const auto& p : props_)
        if (p.name == name && p.time == 0) return p.value;
    return std::nullopt;
}

Status Transition::setSubObjectGuid(const std::string& classId) {
    if (!isClassId(classId)) return Status::invalidArg("Not a class identifier: " + classId);
    classId_ = classId;
    return Status::ok();
}

Status Transition::setPropertySetter(std::shared_ptr<PropertySetter> setter) {
    props_ = std::move(setter);
    return Status::ok();
}

Status Track::srcAdd(const std::shared_ptr<Source>& source) {
    if (!source) return Status::invalidArg("No source to add.");
    if (source->attached_) return Status::invalidArg("The source is already on a track.");
    Status s = insertInTimeOrder(sources_, source, "source");
    if (s) source->attached_ = true;
    return s;
}

Status Track::transAdd(const std::shared_ptr<Transition>& transition) {
    if (!transition) return Status::invalidArg("No transition to add.");
    if (transition->attached_) return Status::invalidArg("The transition is already on a track.");
    if (transition->subObjectGuid().empty())
        return Status::invalidArg("The transition has no effect.");
    Status s = insertInTimeOrder(transitions_, transition, "transition");
    if (s) transition->attached_ = true;
    return s;
}

Status Group::setMediaType(const GroupMediaType& type) {
    if (type.kind == MediaKind::None)
        return Status::invalidArg("The group's media type is neither video nor audio.");
    if (type.kind == MediaKind::Video) {
        const VideoFormat& v = type.video;
        // Both 0 take the first clip's size; otherwise a size the engine can work in.
        bool fromSource = v.width == 0 && v.height == 0;
        if (!fromSource &&
            (v.width <= 0 || v.width > 16384 || v.height == 0 || std::abs(v.height) > 16384))
            return Status::invalidArg("Unsupported video size " + std::to_string(v.width) + " x " +
                                      std::to_string(v.height) + ".");
    } else {
        const AudioFormat& a = type.audio;
        if (a.sampleRate < 8000 || a.sampleRate > 192000 || a.channels < 1 || a.channels > 8)
            return Status::invalidArg("Unsupported audio format.");
    }
    if (!tracks_.empty() && type.kind != type_.kind)
        return {Status::kUnexpected, "The group's media type cannot change once it has tracks."};
    type_ = type;
    return Status::ok();
}

Status Group::setOutputFps(double fps) {
    if (!std::isfinite(fps) || fps <= 0.0 || fps > 1000.0)
        return Status::invalidArg("Unsupported frame rate.");
    fps_ = fps;
    return Status::ok();
}

Status Group::vTrackInsBefore(const std::shared_ptr<Track>& track, int priority) {
    if (!track) return Status::invalidArg("No track to insert.");
    if (track->attached_) return Status::invalidArg("The track is already in a group.");
    if (priority < -1 || priority > static_cast<int>(tracks_.size()))
        return Status::invalidArg("No such layer.");
    auto at = priority == -1 ? tracks_.end() : tracks_.begin() + priority;
    tracks_.insert(at, track);
    track->attached_ = true;
    return Status::ok();
}

Status Timeline::createGroup(std::shared_ptr<Group>& out) {
    out = std::make_shared<Group>();
    return Status::ok();
}
Status Timeline::createTrack(std::shared_ptr<Track>& out) {
    out = std::make_shared<Track>();
    return Status::ok();
}
Status Timeline::createSource(std::shared_ptr<Source>& out) {
    out = std::make_shared<Source>();
    return Status::ok();
}
Status Timeline::createTransition(std::shared_ptr<Transition>& out) {
    out = std::make_shared<Transition>();
    return Status::ok();
}

Status Timeline::addGroup(const std::shared_ptr<Group>& group) {
    if (!group) return Status::invalidArg("No group to add.");
    if (group->attached_) return Status::invalidArg("The group is already on a timeline.");
    if (group->mediaType().kind == MediaKind::None)
        return Status::invalidArg("The group has no media type.");
    groups_.push_back(group);
    group->attached_ = true;
    return Status::ok();
}

Status Timeline::getGroup(int index, std::shared_ptr<Group>& out) const {
    out.reset();
    if (index < 0 || index >= groupCount())
        return Status::invalidArg("No group " + std::to_string(index) + ".");
    out = groups_[static_cast<std::size_t>(index)];
    return Status::ok();
}

Ticks Timeline::duration() const {
    Ticks end = 0;
    for (const auto& g : groups_)
        for (const auto& t : g->tracks()) {
            for (const auto& s : t->sources()) end = std::max(end, s->stop());
            for (const auto& x : t->transitions()) end = std::max(end, x->stop());
        }
    return end;
}

}  // namespace media
