// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/wm/profile_generator.h"

#include <cstdio>
#include <new>

#include "media/core/ticks.h"

namespace media::wm {
namespace {

// WMSCRIPTTYPE_TwoStrings: a script sample holds a type string and a command string.
const Guid kScriptTypeTwoStrings{
    0x82F38A70, 0xC29F, 0x11D1, {0x97, 0xAD, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50}};

Status noAudioFormat(std::uint32_t tag, std::uint32_t bitrate, std::uint32_t rate,
                     std::uint32_t channels) {
    char text[200];
    std::snprintf(
        text, sizeof text,
        "No Windows Media audio format has tag 0x%X at %u bits per second, %u Hz, %u channel(s).",
        tag, bitrate, rate, channels);
    return {kNoMatchingAudioFormat, text};
}

}  // namespace

std::uint32_t wholeFrameRate(double framesPerSecond) {
    if (!(framesPerSecond >= 1.0)) return 1;
    if (framesPerSecond >= 4294967295.0) return 4294967295u;
    return static_cast<std::uint32_t>(framesPerSecond);
}

AudioStreamParams joinAudioParams(std::uint32_t audioBitrate) {
    AudioStreamParams a;
    a.bitrate = audioBitrate;
    return a;
}

VideoStreamParams joinVideoParams(int width, int height, double frameRate,
                                  std::uint32_t videoBitrate) {
    VideoStreamParams v;
    v.bitrate = videoBitrate;
    v.width = width;
    v.height = height;
    v.frameRate = wholeFrameRate(frameRate);
    return v;
}

Status WMCreateProfileManager(std::unique_ptr<ProfileManager>& out, const CodecCatalog& codecs) {
    out.reset(new (std::nothrow) ProfileManager(codecs));
    return out ? Status::ok() : Status::outOfMemory("Could not create the profile manager.");
}

Status ConfigureStream(StreamConfig& stream, std::uint16_t number, const std::string& name,
                       const std::string& connectionName, std::uint32_t bitrate,
                       const MediaType& type) {
    Status st = stream.setStreamNumber(number);
    if (st) st = stream.setStreamName(name);
    if (st) st = stream.setConnectionName(connectionName);
    if (st) st = stream.setBitrate(bitrate);
    if (st) st = stream.setMediaType(&type);
    return st;
}

Status AddAudioStream(const ProfileManager& manager, Profile& profile, std::uint32_t formatTag,
                      std::uint32_t bitrate, std::uint32_t sampleRate, std::uint32_t channels,
                      bool hasVideo) {
    const auto& codecs = manager.codecInfo().audio;
    if (codecs.empty()) return noAudioFormat(formatTag, bitrate, sampleRate, channels);

    const MediaType* held = nullptr;
    std::uint16_t heldAlign = 0;
    for (const CodecEntry& codec : codecs) {
        for (const MediaType& format : codec.formats) {
            if (format.formatType != guids::kFormatWaveFormatEx)
                return Status::fail("The audio codec \"" + codec.name +
                                    "\" offers a format that is not a WAVEFORMATEX.");
            auto wf = format.waveFormat();
            if (!wf)
                return Status::fail("The audio codec \"" + codec.name +
                                    "\" offers an incomplete format.");
            // Unsigned arithmetic on purpose: one comparison covers 249 either side.
            const std::uint32_t offset = wf->avgBytesPerSec * 8u - bitrate + 249u;
            const bool candidate = offset <= 498u && wf->samplesPerSec == sampleRate &&
                                   wf->channels == channels && wf->formatTag == formatTag;
            if (!candidate) continue;
            // With pictures the smallest blocks interleave best; alone, the largest sound best.
            if (!held || (hasVideo ? wf->blockAlign <= heldAlign : wf->blockAlign >= heldAlign)) {
                held = &format;
                heldAlign = wf->blockAlign;
            }
        }
    }
    if (!held) return noAudioFormat(formatTag, bitrate, sampleRate, channels);

    const MediaType chosen = *held;  // our own copy of the format block
    const WaveFormatEx wf = *chosen.waveFormat();
    MediaType type;
    type.majorType = guids::kMediaTypeAudio;
    type.subtype = subtypeFromCode(wf.formatTag);
    type.fixedSizeSamples = true;
    type.temporalCompression = false;
    type.sampleSize = wf.blockAlign;
    type.formatType = guids::kFormatWaveFormatEx;
    type.format.assign(chosen.format.begin(),
                       chosen.format.begin() + WaveFormatEx::kSize + wf.extra.size());

    StreamConfig stream = profile.createNewStream(guids::kMediaTypeAudio);
    Status st = ConfigureStream(stream, 1, "Audio Stream", "Audio", wf.avgBytesPerSec * 8u, type);
    if (st) st = profile.addStream(stream);
    return st;
}

Status AddVideoStream(const ProfileManager& manager, Profile& profile, std::uint16_t streamNumber,
                      std::uint32_t fourcc, std::uint32_t bitrate, std::int32_t width,
                      std::int32_t height, std::uint32_t frameRate, std::uint32_t quality,
                      std::uint32_t keyFrameSpacing) {
    const MediaType* taken = nullptr;
    for (const CodecEntry& codec : manager.codecInfo().video) {
        for (const MediaType& format : codec.formats) {
            auto vih = format.videoInfo();
            if (vih && vih->bmi.compression == fourcc) {
                taken = &format;
                break;
            }
        }
        if (taken) break;
    }
    if (!taken)
        return {kNoMatchingVideoFormat,
                "No Windows Media video format has the code \"" + fourccText(fourcc) + "\"."};

    MediaType type = *taken;
    VideoInfoHeader vih = *type.videoInfo();
    vih.source.right = vih.target.right = vih.bmi.width = width;
    vih.source.bottom = vih.target.bottom = vih.bmi.height = height;
    vih.bitRate = bitrate;
    // A profile cannot state less than one frame per second.
    vih.avgTimePerFrame = kTicksPerSecond / (frameRate ? frameRate : 1u);
    type.format = vih.toBytes();

    StreamConfig stream = profile.createNewStream(guids::kMediaTypeVideo);
    Status st = stream.setQuality(quality);
    if (st)
        st = stream.setMaxKeyFrameSpacing(static_cast<std::int64_t>(keyFrameSpacing) *
                                          kTicksPerSecond);
    if (st) st = ConfigureStream(stream, streamNumber, "Video Stream", "Video", bitrate, type);
    if (st) st = profile.addStream(stream);
    return st;
}

Status AddBitrateExclusion(Profile& profile, std::uint32_t videoCount) {
    MutualExclusion exclusion = profile.createNewMutualExclusion();
    Status st = exclusion.setType(guids::kMutexBitrate);
    for (std::uint32_t n = 2; st && n <= videoCount + 1; ++n)
        st = exclusion.addStream(static_cast<std::uint16_t>(n));
    if (st) st = profile.addMutualExclusion(exclusion);
    return st;
}

Status AddScriptStream(Profile& profile, std::uint16_t streamNumber, std::uint32_t bitrate) {
    MediaType type;
    type.majorType = guids::kMediaTypeScript;
    type.formatType = guids::kFormatScript;
    auto bytes = kScriptTypeTwoStrings.bytes();
    type.format.assign(bytes.begin(), bytes.end());
    StreamConfig stream = profile.createNewStream(guids::kMediaTypeScript);
    Status st = ConfigureStream(stream, streamNumber, "Script Stream", "Script", bitrate, type);
    if (st) st = profile.addStream(stream);
    return st;
}

Status GenerateProfile(const AudioStreamParams* audio, const std::uint32_t* scriptBitrate,
                       std::uint32_t videoCount, const VideoStreamParams* video,
                       std::unique_ptr<Profile>* out, std::uint32_t version,
                       const CodecCatalog& codecs) {
    if (!audio || !out)
        return Status::invalidArg(
            "GenerateProfile needs audio parameters and a place for the profile.");
    if (videoCount > 63) return Status::invalidArg("A profile holds at most 63 video streams.");
    if (videoCount != 0 && !video)
        return Status::invalidArg("The video stream parameters are missing.");

    std::unique_ptr<ProfileManager> manager;
    Status st = WMCreateProfileManager(manager, codecs);
    if (!st) return st;
    std::unique_ptr<Profile> profile;
    st = manager->createEmptyProfile(version, profile);
    if (st) st = profile->setName("Custom Profile");
    if (st)
        st = AddAudioStream(*manager, *profile, audio->formatTag, audio->bitrate, audio->sampleRate,
                            audio->channels, videoCount > 0);
    for (std::uint32_t i = 0; st && i < videoCount; ++i) {
        const VideoStreamParams& v = video[i];
        st =
            AddVideoStream(*manager, *profile, static_cast<std::uint16_t>(i + 2), v.fourcc,
                           v.bitrate, v.width, v.height, v.frameRate, v.quality, v.keyFrameSpacing);
    }
    if (st && videoCount > 1) st = AddBitrateExclusion(*profile, videoCount);
    if (st && scriptBitrate)
        st = AddScriptStream(*profile, static_cast<std::uint16_t>(videoCount + 2), *scriptBitrate);
    if (st) *out = std::move(profile);
    return st;
}

Status MapProfile(const std::string& profileText, std::unique_ptr<Profile>* out) {
    if (!out) return {kPointer, "MapProfile needs a place for the profile."};
    std::unique_ptr<ProfileManager> manager;
    Status st = WMCreateProfileManager(manager);
    if (!st) {
        std::printf("MapProfile: Failed to create profile manager!  hr=0x%x\n",
                    static_cast<unsigned>(st.code()));
        return st;
    }
    // The whole text is read: a profile is far longer than a path, so nothing is cut.
    return manager->loadProfileByData(profileText, *out);
}

}  // namespace media::wm
