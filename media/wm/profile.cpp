// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/wm/profile.h"

#include <algorithm>

namespace media::wm {

Status StreamConfig::setStreamNumber(std::uint16_t number) {
    if (number < 1 || number > kMaxStreamNumber)
        return Status::invalidArg("A stream number must lie between 1 and 63, not " +
                                  std::to_string(number) + ".");
    number_ = number;
    return Status::ok();
}

Status StreamConfig::setStreamName(const std::string& name) {
    name_ = name;
    return Status::ok();
}

Status StreamConfig::setConnectionName(const std::string& name) {
    connection_ = name;
    return Status::ok();
}

Status StreamConfig::setBitrate(std::uint32_t bitsPerSecond) {
    bitrate_ = bitsPerSecond;
    return Status::ok();
}

Status StreamConfig::setMediaType(const MediaType* type) {
    if (!type) return {kPointer, "No media type was given for the stream."};
    if (type->majorType != streamType_)
        return Status::invalidArg("The media type " + type->majorType.toString() +
                                  " does not fit a stream of type " + streamType_.toString() + ".");
    // A format block must hold at least the structure its format type names.
    if (type->formatType == guids::kFormatWaveFormatEx && !type->waveFormat())
        return Status::invalidArg("The stream's WAVEFORMATEX is incomplete.");
    if (type->formatType == guids::kFormatVideoInfo && !type->videoInfo())
        return Status::invalidArg("The stream's VIDEOINFOHEADER is incomplete.");
    type_ = *type;
    hasType_ = true;
    return Status::ok();
}

Status StreamConfig::setQuality(std::uint32_t quality) {
    if (streamType_ != guids::kMediaTypeVideo)
        return Status::invalidArg("Only a video stream has a quality.");
    if (quality > 100) return Status::invalidArg("A video quality lies between 0 and 100.");
    quality_ = quality;
    return Status::ok();
}

Status StreamConfig::setMaxKeyFrameSpacing(std::int64_t ticks) {
    if (streamType_ != guids::kMediaTypeVideo)
        return Status::invalidArg("Only a video stream has a key-frame spacing.");
    if (ticks < 0) return Status::invalidArg("A key-frame spacing cannot be negative.");
    keySpacing_ = ticks;
    return Status::ok();
}

Status MutualExclusion::setType(const Guid& t) {
    type = t;
    return Status::ok();
}

Status MutualExclusion::addStream(std::uint16_t number) {
    if (number < 1 || number > kMaxStreamNumber)
        return Status::invalidArg("A stream number must lie between 1 and 63.");
    if (std::find(streams.begin(), streams.end(), number) != streams.end())
        return Status::invalidArg("The stream is already in this exclusion.");
    streams.push_back(number);
    return Status::ok();
}

Status Profile::setName(const std::string& name) {
    name_ = name;
    return Status::ok();
}

Status Profile::addStream(const StreamConfig& stream) {
    if (stream.streamNumber() == 0) return Status::invalidArg("The stream has no number.");
    if (streamByNumber(stream.streamNumber()))
        return Status::invalidArg("The profile already has a stream " +
                                  std::to_string(stream.streamNumber()) + ".");
    if (!stream.hasMediaType()) return Status::invalidArg("The stream has no media type.");
    streams_.push_back(stream);
    return Status::ok();
}

Status Profile::addMutualExclusion(const MutualExclusion& exclusion) {
    for (std::uint16_t n : exclusion.streams)
        if (!streamByNumber(n))
            return Status::invalidArg("The exclusion names stream " + std::to_string(n) +
                                      ", which the profile lacks.");
    exclusions_.push_back(exclusion);
    return Status::ok();
}

const StreamConfig* Profile::streamByNumber(std::uint16_t number) const {
    for (const StreamConfig& s : streams_)
        if (s.streamNumber() == number) return &s;
    return nullptr;
}

const StreamConfig* Profile::firstStream(const Guid& streamType) const {
    for (const StreamConfig& s : streams_)
        if (s.streamType() == streamType) return &s;
    return nullptr;
}

Status ProfileManager::createEmptyProfile(std::uint32_t version,
                                          std::unique_ptr<Profile>& out) const {
    if (version != kVersion7 && version != kVersion8 && version != kVersion9)
        return Status::invalidArg("Unknown profile version.");
    out = std::make_unique<Profile>(version);
    return Status::ok();
}

}  // namespace media::wm
