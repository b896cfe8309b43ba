// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editing timeline: groups (one output each) hold tracks, stacked as compositing layers;
// a track holds sources placed on the time axis and the transitions that blend the layers
// below into it. The program builds a timeline on its interface thread and hands it to a
// render engine, which works from its own copy: nothing here is locked.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/core/status.h"
#include "media/core/ticks.h"
#include "media/timeline/media_type.h"

namespace media {

class Track;
class Group;

// Anything with a place on the time axis.
class TimelineObject {
public:
    virtual ~TimelineObject() = default;
    Status setStartStop(Ticks start, Ticks stop);
    Ticks start() const { return start_; }
    Ticks stop() const { return stop_; }

protected:
    Ticks start_ = 0;
    Ticks stop_ = 0;
    bool attached_ = false;  // set once the object is part of a timeline
    friend class Track;
    friend class Group;
    friend class Timeline;
};

// A span of a media file: media times [mediaStart, mediaStop) of the file play on the
// object's [start, stop). The times need not be equal in length: the file is played
// faster or slower to fit.
class Source final : public TimelineObject {
public:
    Status setMediaTimes(Ticks mediaStart, Ticks mediaStop);
    Status setMediaName(const std::string& path);
    Status setStretchMode(int mode);
    Ticks mediaStart() const { return mediaStart_; }
    Ticks mediaStop() const { return mediaStop_; }
    const std::string& mediaName() const { return mediaName_; }
    StretchMode stretchMode() const { return stretch_; }

private:
    Ticks mediaStart_ = 0;
    Ticks mediaStop_ = 0;
    std::string mediaName_;
    StretchMode stretch_ = StretchMode::Stretch;
};

// Named integer parameters of an effect, each a value that holds from its time on.
class PropertySetter {
public:
    struct Property {
        std::string name;
        int value = 0;
        Ticks time = 0;
    };
    Status addProp(const std::string& name, int value, Ticks time = 0);
    // The value the property has at time 0 (the start of the effect), if set.
    std::optional<int> valueAtStart(const std::string& name) const;
    const std::vector<Property>& properties() const { return props_; }

private:
    std::vector<Property> props_;
};

// A transition: the effect named by its class identifier ("{XXXXXXXX-XXXX-...}").
class Transition final : public TimelineObject {
public:
    Status setSubObjectGuid(const std::string& classId);
    const std::string& subObjectGuid() const { return classId_; }
    Status setPropertySetter(std::shared_ptr<PropertySetter> setter);
    const PropertySetter* propertySetter() const { return props_.get(); }

private:
    std::string classId_;
    std::shared_ptr<PropertySetter> props_;
};

// One compositing layer. Its sources and its transitions each may not overlap in time.
class Track final : public TimelineObject {
public:
    Status srcAdd(const std::shared_ptr<Source>& source);
    Status transAdd(const std::shared_ptr<Transition>& transition);
    const std::vector<std::shared_ptr<Source>>& sources() const { return sources_; }
    const std::vector<std::shared_ptr<Transition>>& transitions() const { return transitions_; }

private:
    std::vector<std::shared_ptr<Source>> sources_;          // in time order
    std::vector<std::shared_ptr<Transition>> transitions_;  // in time order
};

// One output of the timeline: a stack of tracks, the lowest first.
class Group final : public TimelineObject {
public:
    Status setMediaType(const GroupMediaType& type);
    const GroupMediaType& mediaType() const { return type_; }
    Status setOutputFps(double fps);
    double outputFps() const { return fps_; }
    // Inserts a track at layer `priority` (0 is the lowest); -1 puts it above all others.
    Status vTrackInsBefore(const std::shared_ptr<Track>& track, int priority);
    // A preview drops late frames to keep time; a file render takes every frame.
    void setPreviewMode(bool on) { preview_ = on; }
    bool previewMode() const { return preview_; }
    const std::vector<std::shared_ptr<Track>>& tracks() const { return tracks_; }

private:
    GroupMediaType type_;
    double fps_ = 30.0;
    bool preview_ = true;
    std::vector<std::shared_ptr<Track>> tracks_;
};

// Flags of validateSourceNames, with the values the program passes.
enum SourceNameFlags : int {
    kValidateCheck = 1,    // look whether each file exists
    kValidatePopup = 2,    // ask (through `locate`) for a file that is missing
    kValidateReplace = 8,  // put the located file in place of the missing name
};

// Asked for a missing file: returns the path to use instead, or nothing to leave it.
using LocateFile = std::function<std::optional<std::string>(const std::string& missingPath)>;

class Timeline {
public:
    Status createGroup(std::shared_ptr<Group>& out);
    Status createTrack(std::shared_ptr<Track>& out);
    Status createSource(std::shared_ptr<Source>& out);
    Status createTransition(std::shared_ptr<Transition>& out);

    Status addGroup(const std::shared_ptr<Group>& group);
    int groupCount() const { return static_cast<int>(groups_.size()); }
    Status getGroup(int index, std::shared_ptr<Group>& out) const;
    const std::vector<std::shared_ptr<Group>>& groups() const { return groups_; }

    // The end of the last object on the timeline: the length every output has.
    Ticks duration() const;

    // Checks that every source's file exists. A missing one is offered to `locate` once
    // (the same missing name on several sources is asked for only once); a replacement it
    // gives becomes the sources' name when kValidateReplace is set. A source left missing
    // fails where it is used. Returns the number of sources still missing (0 = all found).
    Status validateSourceNames(int flags, const LocateFile& locate);

private:
    std::vector<std::shared_ptr<Group>> groups_;
};

}  // namespace media
