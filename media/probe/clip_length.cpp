#include "media/probe/clip_length.h"

#include <algorithm>

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

struct Deadline {
    std::chrono::steady_clock::time_point end;
    static int expired(void* opaque) {
        return std::chrono::steady_clock::now() > static_cast<const Deadline*>(opaque)->end ? 1 : 0;
    }
};

// Puts a deadline on every read of `input` for as long as it lives.
class InterruptScope {
public:
    InterruptScope(AVFormatContext* input, std::chrono::milliseconds timeout)
        : input_(input),
          saved_(input->interrupt_callback),
          deadline_{std::chrono::steady_clock::now() + timeout} {
        input_->interrupt_callback = {Deadline::expired, &deadline_};
    }
    ~InterruptScope() { input_->interrupt_callback = saved_; }
    bool expired() const { return Deadline::expired(const_cast<Deadline*>(&deadline_)) != 0; }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    AVFormatContext* input_;
    AVIOInterruptCB saved_;
    Deadline deadline_;
};

// Reads every packet from `fromByte` to the end of the file and returns the latest end
// time (pts + duration) of a picture or sound packet, relative to the clip's start.
std::optional<Ticks> lastPacketEnd(AVFormatContext* input, std::int64_t fromByte,
                                   const TailReadLimits& limits, const InterruptScope& time) {
    // Byte 0 is the container's header, which some demuxers cannot read as packets: the
    // whole file is read from its first timestamp instead.
    const bool fromStart =
        fromByte == 0 &&
        avformat_seek_file(input, -1, INT64_MIN,
                           input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time, INT64_MAX,
                           0) >= 0;
    if (!fromStart && av_seek_frame(input, -1, fromByte, AVSEEK_FLAG_BYTE) < 0) return std::nullopt;
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
        if (index < input->nb_streams && countsForLength(input->streams[index])) {
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

std::optional<Ticks> lengthFromTail(AVFormatContext* input, const TailReadLimits& limits) {
    if (!input->pb || (input->iformat->flags & (AVFMT_NOTIMESTAMPS | AVFMT_NO_BYTE_SEEK)))
        return std::nullopt;
    const std::int64_t size = avio_size(input->pb);
    if (size <= 0) return std::nullopt;
    InterruptScope scope(input, limits.timeout);
    for (std::int64_t window : {limits.firstWindowBytes, limits.lastWindowBytes}) {
        auto t = lastPacketEnd(input, std::max<std::int64_t>(0, size - window), limits, scope);
        if (t || window >= size) return t;
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
    if (auto indexed = lengthOfIndexedData(input)) return std::min(stated, *indexed);
    if (lengthPrecedesData(input)) {
        auto tail = lengthFromTail(input, limits);
        if (tail && *tail + kTicksPerSecond / 2 < stated) return *tail;
    }
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
