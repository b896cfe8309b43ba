// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/probe/clip_length.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "media/core/input_file.h"

extern "C" {
#include <libavutil/avstring.h>
}

namespace media {
namespace {

constexpr AVRational kTickBase{1, static_cast<int>(kTicksPerSecond)};

bool plausible(Ticks t) {
    return t > 0 && t <= kMaxClipLength;
}

bool countsForLength(const AVStream* st) {
    const AVMediaType type = st->codecpar->codec_type;
    return (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) &&
           !(st->disposition & AV_DISPOSITION_ATTACHED_PIC) && st->time_base.num > 0 &&
           st->time_base.den > 0;
}

// Rescales without trusting the value: a timestamp from a hostile file may be anything.
std::optional<Ticks> toTicks(std::int64_t value, AVRational base) {
    if (value == AV_NOPTS_VALUE || base.num <= 0 || base.den <= 0) return std::nullopt;
    std::int64_t t = av_rescale_q_rnd(
        value, base, kTickBase, static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    if (t == INT64_MIN || t == INT64_MAX) return std::nullopt;
    return t;
}

std::optional<Ticks> longestStream(const AVFormatContext* input) {
    std::optional<Ticks> longest;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        if (!countsForLength(st)) continue;
        auto d = toTicks(st->duration, st->time_base);
        if (d && plausible(*d) && (!longest || *d > *longest)) longest = d;
    }
    return longest;
}

// Matroska's demuxer finds its footing only at the start of a cluster (the element that
// holds a run of packets): the first one at or after `from`, or `from` itself when there
// is none or the format is another.
std::int64_t packetRunStart(AVFormatContext* input, std::int64_t from, std::int64_t size) {
    if (!av_match_name("matroska", input->iformat->name)) return from;
    static constexpr std::uint8_t kClusterId[] = {0x1F, 0x43, 0xB6, 0x75};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size - from));
    if (avio_seek(input->pb, from, SEEK_SET) < 0) return from;
    int got = avio_read(input->pb, bytes.data(), static_cast<int>(bytes.size()));
    if (got < 4) return from;
    auto at = std::search(bytes.begin(), bytes.begin() + got, std::begin(kClusterId),
                          std::end(kClusterId));
    return at == bytes.begin() + got ? from : from + (at - bytes.begin());
}

// Seeks by time to the clip's first packet. The picture stream leads a seek, but a
// Matroska file cut before its first key picture has none of them in its index; then a
// stream that has its start there (the sound's first packet) leads.
bool seekToStart(AVFormatContext* input) {
    const std::int64_t firstStamp = input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time;
    if (avformat_seek_file(input, -1, INT64_MIN, firstStamp, INT64_MAX, 0) >= 0) return true;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* st = input->streams[i];
        if (!countsForLength(st) || avformat_index_get_entries_count(st) <= 0) continue;
        const AVIndexEntry* first = avformat_index_get_entry(st, 0);
        if (avformat_seek_file(input, static_cast<int>(i), INT64_MIN, first->timestamp, INT64_MAX,
                               0) >= 0)
            return true;
    }
    return false;
}

// Reads every packet from `fromByte` to the end of the file and returns the latest end
// time (pts + duration) of a picture or sound packet, relative to the clip's start.
std::optional<Ticks> lastPacketEnd(AVFormatContext* input, std::int64_t fromByte,
                                   const TailReadLimits& limits, const ReadDeadline& time) {
    // A seek by time resets the demuxer, which a byte seek does not: one that has reached
    // the end of the file would otherwise stay there. Byte 0 is the container's header,
    // which some demuxers cannot read as packets, so the whole file is read from there.
    const bool atStart = seekToStart(input);
    if (fromByte == 0
            ? !atStart
            : av_seek_frame(input, -1, packetRunStart(input, fromByte, avio_size(input->pb)),
                            AVSEEK_FLAG_BYTE) < 0)
        return std::nullopt;
    av::PacketPtr pkt = av::makePacket();
    if (!pkt) return std::nullopt;
    const Ticks start = clipStartTime(input);
    std::optional<Ticks> latest;
    for (int n = 0; n < limits.maxPackets; ++n) {
        int rc = av_read_frame(input, pkt.get());
        if (rc < 0) {
            if (time.expired()) return std::nullopt;  // what was read may not be the end
            break;  // the end of the file, or a damaged tail: keep what was read
        }
        const unsigned index = static_cast<unsigned>(pkt->stream_index);
        if (index < input->nb_streams && countsForLength(input->streams[index]) &&
            !(pkt->flags & AV_PKT_FLAG_CORRUPT)) {
            const AVStream* st = input->streams[index];
            std::int64_t stamp = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
            auto end = toTicks(stamp, st->time_base);
            auto length = toTicks(std::max<std::int64_t>(pkt->duration, 0), st->time_base);
            if (end && length) {
                Ticks t = *end + *length - start;
                if (plausible(t) && (!latest || t > *latest)) latest = t;
            }
        }
        av_packet_unref(pkt.get());
        if (n + 1 == limits.maxPackets) return std::nullopt;  // never reached the end
    }
    return latest;
}

// After a jump into the middle of the data, a demuxer may take picture bytes for a packet
// header and hand out a packet with a made-up time before it finds its footing. Reads that
// start at different places agree only on the real end, so a result counts when two
// windows give the same one, or when the window took in the whole file from its start.
std::optional<Ticks> lengthFromTail(AVFormatContext* input, const TailReadLimits& limits) {
    if (!input->pb || (input->iformat->flags & (AVFMT_NOTIMESTAMPS | AVFMT_NO_BYTE_SEEK)))
        return std::nullopt;
    const std::int64_t size = avio_size(input->pb);
    if (size <= 0) return std::nullopt;
    ReadDeadline scope(limits.timeout);
    std::vector<Ticks> seen;
    for (std::int64_t window = limits.firstWindowBytes; window > 0; window *= 2) {
        window = std::min(window, limits.lastWindowBytes);
        const bool wholeFile = window >= size;
        auto t = lastPacketEnd(input, wholeFile ? 0 : size - window, limits, scope);
        if (wholeFile) return t;
        if (t) {
            for (Ticks earlier : seen)
                if (std::llabs(earlier - *t) <= kTicksPerSecond / 1000)
                    return std::max(earlier, *t);
            seen.push_back(*t);
        }
        if (window >= limits.lastWindowBytes || scope.expired()) break;
    }
    return std::nullopt;
}

// For demuxers that index every sample (MP4 and QuickTime do, from their header): the
// length up to the first sample that lies beyond the end of the file. Nothing when every
// sample is present.
std::optional<Ticks> lengthOfIndexedData(const AVFormatContext* input) {
    if (!input->pb) return std::nullopt;
    const std::int64_t fileSize = avio_size(input->pb);
    if (fileSize <= 0) return std::nullopt;
    bool cut = false;
    Ticks longest = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* st = input->streams[i];
        if (!countsForLength(st)) continue;
        const int count = avformat_index_get_entries_count(st);
        if (count <= 0) continue;
        const AVIndexEntry* first = avformat_index_get_entry(st, 0);
        std::optional<Ticks> end;
        for (int k = 0; k < count && !end; ++k) {
            const AVIndexEntry* e = avformat_index_get_entry(st, k);
            if (e->pos >= 0 && e->pos + e->size > fileSize)
                end = toTicks(e->timestamp - first->timestamp, st->time_base);
        }
        if (end) {
            cut = true;
        } else {
            end = toTicks(st->duration, st->time_base);
        }
        if (end && *end > longest) longest = *end;
    }
    if (!cut) return std::nullopt;
    return longest;
}

// Formats that state their length in a header written before the pictures and sound, so
// that a file cut short still claims its full length, and whose packets carry their own
// timestamps, so that the end of the data says where the clip really ends.
bool lengthPrecedesData(const AVFormatContext* input) {
    return av_match_name("matroska", input->iformat->name) ||
           av_match_name("webm", input->iformat->name) ||
           av_match_name("flv", input->iformat->name);
}

// A cut file's stated length against what the file holds. A little slack allows for a
// last frame's duration, which the header counts and the packets may not.
Ticks lengthOfPresentData(AVFormatContext* input, Ticks stated, const TailReadLimits& limits) {
    // Matroska's index holds only key pictures, and usually sits at the end of the file,
    // so the packets themselves tell where its data ends.
    if (lengthPrecedesData(input)) {
        auto tail = lengthFromTail(input, limits);
        return tail && *tail + kTicksPerSecond / 2 < stated ? *tail : stated;
    }
    if (auto indexed = lengthOfIndexedData(input)) return std::min(stated, *indexed);
    return stated;
}

}  // namespace

Ticks clipStartTime(const AVFormatContext* input) {
    auto t = toTicks(input->start_time, AV_TIME_BASE_Q);
    return t ? *t : 0;
}

std::optional<ClipLength> measureClipLength(AVFormatContext* input, const TailReadLimits& limits) {
    const bool fromBitRate = input->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
    auto container = toTicks(input->duration, AV_TIME_BASE_Q);
    if (!fromBitRate) {
        std::optional<Ticks> stated;
        if (container && plausible(*container))
            stated = container;
        else
            stated = longestStream(input);
        if (stated) {
            Ticks present = lengthOfPresentData(input, *stated, limits);
            if (plausible(present)) return ClipLength{present, false};
            return std::nullopt;  // a header and no pictures or sound
        }
    }
    // FFmpeg fills the streams' durations from the bit rate too, so neither is a statement
    // of the file when the estimate was made: the file's own timestamps come first.
    if (auto d = lengthFromTail(input, limits)) return ClipLength{*d, false};
    if (fromBitRate && container && plausible(*container)) return ClipLength{*container, true};
    return std::nullopt;
}

}  // namespace media
