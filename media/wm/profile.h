// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Windows Media profile in memory: the streams an ASF file carries, each with its number,
// names, bitrate and media type, and the mutual exclusions between them. The setters
// check their values as the runtime's profile objects do and answer with its statuses.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/core/status.h"
#include "media/wm/codec_tables.h"
#include "media/wm/media_type.h"

namespace media::wm {

inline constexpr std::int32_t kNoMatchingAudioFormat = static_cast<std::int32_t>(0xC00D0BC2);
inline constexpr std::int32_t kNoMatchingVideoFormat = static_cast<std::int32_t>(0xC00D0BC4);
inline constexpr std::int32_t kPointer = static_cast<std::int32_t>(0x80004003);  // E_POINTER
inline constexpr std::int32_t kInvalidProfileData = static_cast<std::int32_t>(0xC00D07D2);

inline constexpr std::uint32_t kVersion7 = 0x70000;
inline constexpr std::uint32_t kVersion8 = 0x80000;
inline constexpr std::uint32_t kVersion9 = 0x90000;

inline constexpr std::uint16_t kMaxStreamNumber = 63;

class StreamConfig {
public:
    explicit StreamConfig(const Guid& streamType) : streamType_(streamType) {}

    Status setStreamNumber(std::uint16_t number);  // 1 to 63
    Status setStreamName(const std::string& name);
    Status setConnectionName(const std::string& name);
    Status setBitrate(std::uint32_t bitsPerSecond);
    Status setMediaType(const MediaType* type);  // must be of the stream's major type
    // Video streams only.
    Status setQuality(std::uint32_t quality);
    Status setMaxKeyFrameSpacing(std::int64_t ticks);

    const Guid& streamType() const { return streamType_; }
    std::uint16_t streamNumber() const { return number_; }
    const std::string& streamName() const { return name_; }
    const std::string& connectionName() const { return connection_; }
    std::uint32_t bitrate() const { return bitrate_; }
    const MediaType& mediaType() const { return type_; }
    bool hasMediaType() const { return hasType_; }
    std::uint32_t quality() const { return quality_; }
    std::int64_t maxKeyFrameSpacing() const { return keySpacing_; }

private:
    Guid streamType_;
    std::uint16_t number_ = 0;
    std::string name_;
    std::string connection_;
    std::uint32_t bitrate_ = 0;
    MediaType type_;
    bool hasType_ = false;
    std::uint32_t quality_ = 0;
    std::int64_t keySpacing_ = 0;
};

struct MutualExclusion {
    Guid type;
    std::vector<std::uint16_t> streams;

    Status setType(const Guid& t);
    Status addStream(std::uint16_t number);
};

class Profile {
public:
    explicit Profile(std::uint32_t version) : version_(version) {}

    Status setName(const std::string& name);
    StreamConfig createNewStream(const Guid& streamType) const { return StreamConfig(streamType); }
    // Takes a copy; the stream needs a free number and a media type.
    Status addStream(const StreamConfig& stream);
    MutualExclusion createNewMutualExclusion() const { return {}; }
    Status addMutualExclusion(const MutualExclusion& exclusion);

    std::uint32_t version() const { return version_; }
    const std::string& name() const { return name_; }
    const std::vector<StreamConfig>& streams() const { return streams_; }
    const std::vector<MutualExclusion>& mutualExclusions() const { return exclusions_; }
    const StreamConfig* streamByNumber(std::uint16_t number) const;
    // The first stream of a major type (audio, video, script), or null.
    const StreamConfig* firstStream(const Guid& streamType) const;

private:
    std::uint32_t version_;
    std::string name_;
    std::vector<StreamConfig> streams_;
    std::vector<MutualExclusion> exclusions_;
};

// The runtime's profile manager: empty profiles of a known version, the codec formats to
// search, and profiles loaded from their text form.
class ProfileManager {
public:
    explicit ProfileManager(const CodecCatalog& codecs = standardCodecs()) : codecs_(codecs) {}

    Status createEmptyProfile(std::uint32_t version, std::unique_ptr<Profile>& out) const;
    const CodecCatalog& codecInfo() const { return codecs_; }
    Status loadProfileByData(const std::string& text, std::unique_ptr<Profile>& out) const;
    Status saveProfile(const Profile& profile, std::string& text) const;

private:
    const CodecCatalog& codecs_;
};

}  // namespace media::wm
