// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/compressor_catalogue.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace media::codecs {
namespace {

struct KnownCodec {
    const char* encoder;
    const char* friendlyName;
};

// Preference order of the lists. The first video codec is the DivX-compatible one the
// program chooses when the user never chose; the first audio codec likewise.
constexpr KnownCodec kVideo[] = {
    {"mpeg4", "DivX-compatible MPEG-4 (mpeg4)"},
    {"libxvid", "Xvid MPEG-4 (libxvid)"},
    {"libx264", "H.264 / AVC (libx264)"},
    {"libx265", "H.265 / HEVC (libx265)"},
    {"libvpx-vp9", "VP9 (libvpx-vp9)"},
    {"libvpx", "VP8 (libvpx)"},
    {"libaom-av1", "AV1 (libaom)"},
    {"mjpeg", "Motion JPEG (mjpeg)"},
    {"ffv1", "FFV1 lossless (ffv1)"},
    {"huffyuv", "HuffYUV lossless (huffyuv)"},
    {"ffvhuff", "HuffYUV, extended, lossless (ffvhuff)"},
    {"utvideo", "Ut Video lossless (utvideo)"},
    {"magicyuv", "MagicYUV lossless (magicyuv)"},
    {"msmpeg4", "Microsoft MPEG-4 V3 (msmpeg4)"},
    {"msmpeg4v2", "Microsoft MPEG-4 V2 (msmpeg4v2)"},
    {"wmv2", "Windows Media Video 8 (wmv2)"},
    {"wmv1", "Windows Media Video 7 (wmv1)"},
    {"mpeg2video", "MPEG-2 video (mpeg2video)"},
    {"mpeg1video", "MPEG-1 video (mpeg1video)"},
    {"libtheora", "Theora (libtheora)"},
    {"prores_ks", "Apple ProRes (prores_ks)"},
    {"dnxhd", "Avid DNxHD (dnxhd)"},
    {"h263p", "H.263+ (h263p)"},
    {"flv", "Sorenson Spark / FLV1 (flv)"},
    {"cinepak", "Cinepak (cinepak)"},
    {"msvideo1", "Microsoft Video 1 (msvideo1)"},
};

constexpr KnownCodec kAudio[] = {
    {"adpcm_ms", "Microsoft ADPCM (adpcm_ms)"},
    {"libmp3lame", "MPEG Layer-3 / MP3 (libmp3lame)"},
    {"aac", "AAC (aac)"},
    {"libvorbis", "Vorbis (libvorbis)"},
    {"libopus", "Opus (libopus)"},
    {"flac", "FLAC lossless (flac)"},
    {"alac", "Apple Lossless (alac)"},
    {"ac3", "Dolby Digital AC-3 (ac3)"},
    {"eac3", "Dolby Digital Plus E-AC-3 (eac3)"},
    {"mp2", "MPEG Layer-2 (mp2)"},
    {"adpcm_ima_wav", "IMA ADPCM (adpcm_ima_wav)"},
    {"pcm_alaw", "CCITT A-Law (pcm_alaw)"},
    {"pcm_mulaw", "CCITT u-Law (pcm_mulaw)"},
    {"pcm_s24le", "PCM 24-bit (pcm_s24le)"},
    {"pcm_f32le", "PCM 32-bit float (pcm_f32le)"},
};

// Encoders that cannot be offered: they need hardware this program does not drive, or
// (SVT-AV1) print to standard output themselves and stall when closed early, or take
// only telephone sound.
bool unusable(const AVCodec* c) {
    if (c->capabilities & (AV_CODEC_CAP_HARDWARE | AV_CODEC_CAP_HYBRID | AV_CODEC_CAP_EXPERIMENTAL))
        return true;
    const std::string_view name = c->name;
    for (std::string_view tag :
         {"_vaapi", "_qsv", "_nvenc", "_v4l2m2m", "_omx", "_amf", "_mf", "_videotoolbox"})
        if (name.find(tag) != std::string_view::npos) return true;
    // Telephone speech codecs take only 8 kHz mono, which joined clips never have.
    for (std::string_view speech :
         {"g722", "g723_1", "g726", "g726le", "libgsm", "libgsm_ms", "real_144", "libcodec2"})
        if (name == speech) return true;
    return name == "libsvtav1" || name == "wrapped_avframe" || name == "rawvideo";
}

// The raw formats a list's first row already stands for (PCM of any layout, raw pixel
// layouts), except the few listed above under a name of their own.
bool plainRawFormat(const AVCodec* c) {
    const std::string_view name = c->name;
    if (name.starts_with("pcm_")) return true;
    for (std::string_view raw : {"v210", "v308", "v408", "v410", "y41p", "yuv4", "ayuv", "r10k",
                                 "r210", "avrp", "avui", "bitpacked", "cljr"})
        if (name == raw) return true;
    return false;
}

std::uint8_t containersFor(AVCodecID id) {
    struct Muxer {
        const char* name;
        ContainerFlag flag;
    };
    static constexpr Muxer kMuxers[] = {
        {"avi", kContainerAvi}, {"matroska", kContainerMatroska}, {"mp4", kContainerMp4}};
    std::uint8_t flags = 0;
    for (const auto& m : kMuxers) {
        const AVOutputFormat* fmt = av_guess_format(m.name, nullptr, nullptr);
        if (fmt && avformat_query_codec(fmt, id, FF_COMPLIANCE_NORMAL) == 1) flags |= m.flag;
    }
    return flags;
}

}  // namespace

std::vector<CompressorDevice> enumerateCompressors(CompressorCategory category) {
    const AVMediaType type =
        category == CompressorCategory::Video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    std::vector<CompressorDevice> known;
    std::vector<CompressorDevice> others;

    const auto& table = category == CompressorCategory::Video ? std::span<const KnownCodec>(kVideo)
                                                              : std::span<const KnownCodec>(kAudio);
    for (const auto& k : table) {
        const AVCodec* c = avcodec_find_encoder_by_name(k.encoder);
        if (!c || c->type != type || unusable(c)) continue;
        const auto containers = containersFor(c->id);
        if (containers) known.push_back({k.encoder, k.friendlyName, category, containers});
    }

    void* it = nullptr;
    while (const AVCodec* c = av_codec_iterate(&it)) {
        if (!av_codec_is_encoder(c) || c->type != type || unusable(c) || plainRawFormat(c))
            continue;
        const std::string name = c->name;
        const bool isKnown = std::any_of(table.begin(), table.end(),
                                         [&](const KnownCodec& k) { return name == k.encoder; });
        if (isKnown) continue;
        const auto containers = containersFor(c->id);
        if (!containers) continue;
        const std::string longName = c->long_name ? c->long_name : name;
        others.push_back({name, longName + " (" + name + ")", category, containers});
    }
    std::sort(others.begin(), others.end(),
              [](const auto& a, const auto& b) { return a.encoder < b.encoder; });
    known.insert(known.end(), others.begin(), others.end());
    return known;
}

}  // namespace media::codecs
