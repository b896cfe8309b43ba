// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/windows_media_streams.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace media {
namespace {

AVCodecID audioCodecForTag(std::uint16_t tag) {
    switch (tag) {
        case wm::kTagWmaV2:
            return AV_CODEC_ID_WMAV2;
        case 0x160:
            return AV_CODEC_ID_WMAV1;
        default:
            return AV_CODEC_ID_NONE;
    }
}

AVCodecID videoCodecForCode(std::uint32_t code) {
    // The library has encoders for versions 7 and 8 only; version 8 stands in for the rest.
    if (code == wm::fourcc("WMV1")) return AV_CODEC_ID_WMV1;
    if (code == wm::fourcc("WMV2") || code == wm::fourcc("WMV3") || code == wm::fourcc("WMVA") ||
        code == wm::fourcc("WVC1"))
        return AV_CODEC_ID_WMV2;
    return AV_CODEC_ID_NONE;
}

}  // namespace

Status windowsMediaStreams(const wm::Profile& profile, WindowsMediaStreams& out) {
    out = {};
    if (const wm::StreamConfig* a = profile.firstStream(wm::guids::kMediaTypeAudio)) {
        auto wf = a->mediaType().waveFormat();
        if (!wf) return Status::invalidArg("The profile's audio stream has no WAVEFORMATEX.");
        out.audioCodec = audioCodecForTag(wf->formatTag);
        if (out.audioCodec == AV_CODEC_ID_NONE) {
            char tag[8];
            std::snprintf(tag, sizeof tag, "0x%X", wf->formatTag);
            return Status::invalidArg(
                std::string("No encoder is installed for Windows Media audio of tag ") + tag + ".");
        }
        if (wf->channels < 1 || wf->channels > 2 || wf->samplesPerSec < 8000 ||
            wf->samplesPerSec > 96000)
            return Status::invalidArg("The profile's audio format is out of range.");
        out.hasAudio = true;
        out.sampleRate = static_cast<int>(wf->samplesPerSec);
        out.channels = wf->channels;
        out.audioBitrate =
            a->bitrate() ? a->bitrate() : static_cast<std::int64_t>(wf->avgBytesPerSec) * 8;
    }
    if (const wm::StreamConfig* v = profile.firstStream(wm::guids::kMediaTypeVideo)) {
        auto vih = v->mediaType().videoInfo();
        if (!vih) return Status::invalidArg("The profile's video stream has no VIDEOINFOHEADER.");
        out.videoCodec = videoCodecForCode(vih->bmi.compression);
        if (out.videoCodec == AV_CODEC_ID_NONE)
            return Status::invalidArg("No encoder is installed for Windows Media video \"" +
                                      wm::fourccText(vih->bmi.compression) + "\".");
        const int w = vih->bmi.width, h = vih->bmi.height < 0 ? -vih->bmi.height : vih->bmi.height;
        if (w < 16 || h < 16 || w > 8192 || h > 8192)
            return Status::invalidArg("The profile's picture size " + std::to_string(w) + " x " +
                                      std::to_string(h) + " cannot be encoded.");
        out.hasVideo = true;
        out.width = w & ~1;  // the encoder works on whole chroma pairs
        out.height = h & ~1;
        out.videoBitrate = v->bitrate() ? v->bitrate() : vih->bitRate;
        const std::int64_t perFrame = vih->avgTimePerFrame > 0 ? vih->avgTimePerFrame : 10'000'000;
        AVRational rate{0, 1};
        av_reduce(&rate.num, &rate.den, 10'000'000, perFrame, 1 << 16);
        out.frameRate = rate;
        const std::int64_t spacing = v->maxKeyFrameSpacing();
        out.gopSize = spacing > 0 ? static_cast<int>(std::max<std::int64_t>(
                                        1, av_rescale(spacing, rate.num, rate.den * 10'000'000LL)))
                                  : 12 * 25;
    }
    return Status::ok();
}

}  // namespace media
