// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds the Windows Media profile for a WMV or ASF join from a few numbers, by searching
// the codec formats for ones that match, or loads a profile from its text form.
#include <cstdint>
#include <memory>
#include <string>

#include "media/core/status.h"
#include "media/wm/profile.h"

namespace media::wm {

struct AudioStreamParams {
    std::uint32_t bitrate = 128000;  // bits per second
    std::uint32_t formatTag = kTagWmaV2;
    std::uint32_t sampleRate = 44100;
    std::uint32_t channels = 2;
};

struct VideoStreamParams {
    std::uint32_t fourcc = wm::fourcc("WMV3");
    std::uint32_t bitrate = 798720;
    std::int32_t height = 240;
    std::int32_t width = 352;
    std::uint32_t frameRate = 23;  // whole frames per second
    std::uint32_t quality = 0;
    std::uint32_t keyFrameSpacing = 8;  // seconds
};

// Whole frames per second for a profile. Rates below 1 (the options allow down to 0.001)
// give 1, the slowest rate a profile can state.
std::uint32_t wholeFrameRate(double framesPerSecond);

// The streams the program's Join asks for: audio of the given bitrate, tag 0x161, 44.1 kHz
// stereo; one "WMV3" video stream of the given size, bitrate and rate, quality 0, a key
// frame at least every 8 seconds.
AudioStreamParams joinAudioParams(std::uint32_t audioBitrate);
VideoStreamParams joinVideoParams(int width, int height, double frameRate,
                                  std::uint32_t videoBitrate);

// `video` points at `videoCount` entries (0 to 63). With `scriptBitrate` a script stream
// follows the video streams. On success `*out` holds the new profile.
Status GenerateProfile(const AudioStreamParams* audio, const std::uint32_t* scriptBitrate,
                       std::uint32_t videoCount, const VideoStreamParams* video,
                       std::unique_ptr<Profile>* out, std::uint32_t version,
                       const CodecCatalog& codecs = standardCodecs());

Status MapProfile(const std::string& profileText, std::unique_ptr<Profile>* out);

// The steps of GenerateProfile, each answering with the first failing status.
Status AddAudioStream(const ProfileManager& manager, Profile& profile, std::uint32_t formatTag,
                      std::uint32_t bitrate, std::uint32_t sampleRate, std::uint32_t channels,
                      bool hasVideo);
Status AddVideoStream(const ProfileManager& manager, Profile& profile, std::uint16_t streamNumber,
                      std::uint32_t fourcc, std::uint32_t bitrate, std::int32_t width,
                      std::int32_t height, std::uint32_t frameRate, std::uint32_t quality,
                      std::uint32_t keyFrameSpacing);
Status AddBitrateExclusion(Profile& profile, std::uint32_t videoCount);
Status AddScriptStream(Profile& profile, std::uint16_t streamNumber, std::uint32_t bitrate);
Status ConfigureStream(StreamConfig& stream, std::uint16_t number, const std::string& name,
                       const std::string& connectionName, std::uint32_t bitrate,
                       const MediaType& type);

// Creates the profile manager the steps above search with.
Status WMCreateProfileManager(std::unique_ptr<ProfileManager>& out,
                              const CodecCatalog& codecs = standardCodecs());

}  // namespace media::wm
