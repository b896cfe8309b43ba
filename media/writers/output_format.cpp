// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/output_format.h"

#include <algorithm>
#include <array>

#include "media/writers/dsm_muxer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace media {
namespace {

constexpr std::array<ContainerInfo, 7> kContainers{{
    {OutputFormat::Avi, "AVI", "avi", false},
    {OutputFormat::Wmv, "WMV", "asf", true},
    {OutputFormat::Matroska, "Matroska", "matroska", false},
    {OutputFormat::Asf, "ASF", "asf", true},
    {OutputFormat::Mp4, "MP4", "mp4", false},
    {OutputFormat::Dsm, "DSM", nullptr, false},
    {OutputFormat::Ogm, "Ogg", "ogg", false},
}};

// The Ogg muxer answers no question about codecs; these are the ones it can map.
constexpr AVCodecID kOggCodecs[] = {AV_CODEC_ID_THEORA, AV_CODEC_ID_VORBIS, AV_CODEC_ID_OPUS,
                                    AV_CODEC_ID_FLAC,   AV_CODEC_ID_SPEEX,  AV_CODEC_ID_VP8};

}  // namespace

const ContainerInfo* containerForCode(int code) {
    if (code < 0 || code >= static_cast<int>(kContainers.size())) return nullptr;
    return &kContainers[static_cast<std::size_t>(code)];
}

bool containerCarries(const ContainerInfo& container, AVCodecID codec) {
    if (container.format == OutputFormat::Dsm) return dsmCarries(codec);
    if (container.format == OutputFormat::Ogm)
        return std::find(std::begin(kOggCodecs), std::end(kOggCodecs), codec) !=
               std::end(kOggCodecs);
    const AVOutputFormat* fmt = av_guess_format(container.muxer, nullptr, nullptr);
    if (!fmt) return false;
    // Matroska keeps raw pictures in its compatibility mode, which the writer switches on.
    if (container.format == OutputFormat::Matroska && codec == AV_CODEC_ID_RAWVIDEO) return true;
    return avformat_query_codec(fmt, codec, FF_COMPLIANCE_NORMAL) == 1;
}

bool containerWantsGlobalHeader(const ContainerInfo& container) {
    if (!container.muxer) return false;
    const AVOutputFormat* fmt = av_guess_format(container.muxer, nullptr, nullptr);
    return fmt && (fmt->flags & AVFMT_GLOBALHEADER);
}

std::string codecDisplayName(AVCodecID codec) {
    if (codec == AV_CODEC_ID_RAWVIDEO) return "Full frames (uncompressed)";
    if (codec == AV_CODEC_ID_PCM_S16LE) return "Uncompressed Audio";
    const AVCodecDescriptor* d = avcodec_descriptor_get(codec);
    return d ? std::string(d->long_name ? d->long_name : d->name) : "unknown codec";
}

}  // namespace media
