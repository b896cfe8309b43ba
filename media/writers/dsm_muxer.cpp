// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/dsm_muxer.h"

#include <algorithm>
#include <ctime>

extern "C" {
#include <libavformat/avformat.h>
}

namespace media {
namespace {

constexpr AVRational kTickBase{1, 10'000'000};
// A stream that stops producing (its part of the join ended) must not make the others
// queue without bound: past this many waiting samples the oldest is written anyway.
constexpr std::size_t kMaxQueued = 256;

int lengthOf(std::uint64_t v) {
    int n = 0;
    while (v) ++n, v >>= 8;
    return n;
}

void putBig(std::vector<std::uint8_t>& b, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void appendGuid(std::vector<std::uint8_t>& b, const wm::Guid& g) {
    auto bytes = g.bytes();
    b.insert(b.end(), bytes.begin(), bytes.end());
}

std::uint32_t riffVideoTag(AVCodecID id) {
    const AVCodecTag* tables[] = {avformat_get_riff_video_tags(), nullptr};
    return av_codec_get_tag(tables, id);
}

std::uint32_t riffAudioTag(AVCodecID id) {
    const AVCodecTag* tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return av_codec_get_tag(tables, id);
}

}  // namespace

bool dsmCarries(AVCodecID codec) {
    if (codec == AV_CODEC_ID_RAWVIDEO) return true;
    const AVCodecDescriptor* d = avcodec_descriptor_get(codec);
    if (!d) return false;
    if (d->type == AVMEDIA_TYPE_VIDEO) return riffVideoTag(codec) != 0;
    if (d->type == AVMEDIA_TYPE_AUDIO) return riffAudioTag(codec) != 0;
    return false;
}

Status dsmMediaType(const AVCodecContext& c, wm::MediaType& out) {
    const std::vector<std::uint8_t> extradata(c.extradata,
                                              c.extradata + std::max(c.extradata_size, 0));
    if (c.codec_type == AVMEDIA_TYPE_VIDEO) {
        wm::VideoInfoHeader v;
        v.source = {0, 0, c.width, c.height};
        v.target = v.source;
        v.bitRate = static_cast<std::uint32_t>(std::clamp<std::int64_t>(c.bit_rate, 0, UINT32_MAX));
        if (c.framerate.num > 0 && c.framerate.den > 0)
            v.avgTimePerFrame = av_rescale(10'000'000, c.framerate.den, c.framerate.num);
        v.bmi.width = c.width;
        v.bmi.height = c.height;
        v.bmi.planes = 1;
        if (c.codec_id == AV_CODEC_ID_RAWVIDEO) {
            if (c.pix_fmt != AV_PIX_FMT_BGR24)
                return Status::invalidArg("DSM keeps uncompressed pictures as 24-bit RGB only.");
            v.bmi.bitCount = 24;
            v.bmi.compression = 0;  // BI_RGB
            v.bmi.sizeImage = static_cast<std::uint32_t>((c.width * 3 + 3) / 4 * 4 * c.height);
            out = wm::videoMediaType(v, wm::guids::kSubtypeRgb24, false);
            return Status::ok();
        }
        const std::uint32_t tag = riffVideoTag(c.codec_id);
        if (!tag)
            return Status::invalidArg(std::string("DSM cannot carry ") +
                                      avcodec_get_name(c.codec_id) + " video.");
        v.bmi.bitCount =
            static_cast<std::uint16_t>(c.bits_per_coded_sample > 0 ? c.bits_per_coded_sample : 24);
        v.bmi.compression = tag;
        v.bmi.sizeImage = static_cast<std::uint32_t>(c.width * c.height * 3);
        v.extra = extradata;
        out = wm::videoMediaType(v, wm::subtypeFromCode(tag), true);
        return Status::ok();
    }
    if (c.codec_type == AVMEDIA_TYPE_AUDIO) {
        const std::uint32_t tag = riffAudioTag(c.codec_id);
        if (!tag || tag > 0xFFFF)
            return Status::invalidArg(std::string("DSM cannot carry ") +
                                      avcodec_get_name(c.codec_id) + " sound.");
        wm::WaveFormatEx w;
        w.formatTag = static_cast<std::uint16_t>(tag);
        w.channels = static_cast<std::uint16_t>(c.ch_layout.nb_channels);
        w.samplesPerSec = static_cast<std::uint32_t>(c.sample_rate);
        const int bits = av_get_bits_per_sample(c.codec_id);
        if (bits > 0) {  // PCM
            w.bitsPerSample = static_cast<std::uint16_t>(bits);
            w.blockAlign = static_cast<std::uint16_t>(bits / 8 * w.channels);
            w.avgBytesPerSec = w.blockAlign * w.samplesPerSec;
        } else {
            w.avgBytesPerSec = static_cast<std::uint32_t>(c.bit_rate / 8);
            w.blockAlign = static_cast<std::uint16_t>(c.block_align > 0 ? c.block_align : 1);
        }
        if (c.codec_id == AV_CODEC_ID_MP3) {
            // MPEGLAYER3WAVEFORMAT: id, flags, block size, frames per block, codec delay.
            const std::uint16_t block =
                static_cast<std::uint16_t>(c.sample_rate ? 144 * c.bit_rate / c.sample_rate : 0);
            w.extra = {1,
                       0,
                       2,
                       0,
                       0,
                       0,
                       static_cast<std::uint8_t>(block),
                       static_cast<std::uint8_t>(block >> 8),
                       1,
                       0,
                       0x71,
                       0x05};
        } else {
            w.extra = extradata;
        }
        out = wm::audioMediaType(w);
        if (bits <= 0) {
            out.fixedSizeSamples = false;
            out.sampleSize = 0;
        }
        return Status::ok();
    }
    return Status::invalidArg("DSM carries only pictures and sound.");
}

Status DsmMuxer::addStream(const AVCodecContext& encoder) {
    if (streams_.size() >= 255) return Status::invalidArg("A DSM file holds at most 255 streams.");
    Stream s;
    if (Status st = dsmMediaType(encoder, s.type); !st) return st;
    s.timeBase = encoder.time_base;
    s.bottomUpRgb = encoder.codec_id == AV_CODEC_ID_RAWVIDEO;
    s.width = encoder.width;
    s.height = encoder.height;
    streams_.push_back(std::move(s));
    return Status::ok();
}

void DsmMuxer::writePacketHeader(dsm::PacketType type, std::uint64_t size) {
    const int sizeBytes = std::max(1, lengthOf(size));
    avio_write(io_, dsm::kSync, 4);
    avio_w8(io_, static_cast<int>(type << 3 | (sizeBytes - 1)));
    for (int i = sizeBytes - 1; i >= 0; --i)
        avio_w8(io_, static_cast<int>((size >> (8 * i)) & 0xFF));
}

Status DsmMuxer::begin(AVIOContext* io) {
    io_ = io;
    std::vector<std::uint8_t> info{1};  // format version
    auto pair = [&info](const char* id, const std::string& value) {
        info.insert(info.end(), id, id + 4);
        info.insert(info.end(), value.begin(), value.end());
        info.push_back(0);
    };
    pair("MUXR", application_);
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &utc);
    pair("DATE", date);
    writePacketHeader(dsm::FileInfo, info.size());
    avio_write(io_, info.data(), static_cast<int>(info.size()));

    for (std::size_t i = 0; i < streams_.size(); ++i) {
        const wm::MediaType& t = streams_[i].type;
        std::vector<std::uint8_t> b{static_cast<std::uint8_t>(i)};
        appendGuid(b, t.majorType);
        appendGuid(b, t.subtype);
        putBig(b,
               (t.fixedSizeSamples ? 1u << 31 : 0u) | (t.temporalCompression ? 1u << 30 : 0u) |
                   (t.sampleSize & 0x3FFFFFFFu),
               4);
        appendGuid(b, t.formatType);
        b.insert(b.end(), t.format.begin(), t.format.end());
        writePacketHeader(dsm::MediaTypePacket, b.size());
        avio_write(io_, b.data(), static_cast<int>(b.size()));
    }
    return io_->error < 0 ? Status::fromAv(io_->error, "The DSM file cannot be started")
                          : Status::ok();
}

Status DsmMuxer::write(AVPacket& packet, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= streams_.size())
        return Status::invalidArg("No such stream.");
    Stream& s = streams_[static_cast<std::size_t>(index)];
    Queued q;
    q.packet = av::makePacket();
    if (!q.packet) return Status::outOfMemory();
    av_packet_move_ref(q.packet.get(), &packet);
    const AVPacket& p = *q.packet;
    q.timeKnown = p.pts != AV_NOPTS_VALUE;
    q.pts = q.timeKnown ? av_rescale_q(p.pts, s.timeBase, kTickBase) : 0;
    q.dts = p.dts != AV_NOPTS_VALUE ? av_rescale_q(p.dts, s.timeBase, kTickBase) : q.pts;
    q.duration = p.duration > 0 ? av_rescale_q(p.duration, s.timeBase, kTickBase) : 0;
    s.queue.push_back(std::move(q));

    for (;;) {
        bool allWaiting = true;
        bool tooMany = false;
        for (const Stream& st : streams_) {
            allWaiting &= !st.queue.empty();
            tooMany |= st.queue.size() > kMaxQueued;
        }
        if (!allWaiting && !tooMany) break;
        if (Status st = emitOldest(); !st) return st;
    }
    return io_->error < 0 ? Status::fromAv(io_->error, "Writing the DSM file failed")
                          : Status::ok();
}

Status DsmMuxer::emitOldest() {
    int best = -1;
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        if (streams_[i].queue.empty()) continue;
        if (best < 0 || streams_[i].queue.front().dts <
                            streams_[static_cast<std::size_t>(best)].queue.front().dts)
            best = static_cast<int>(i);
    }
    if (best < 0) return Status::ok();
    Queued q = std::move(streams_[static_cast<std::size_t>(best)].queue.front());
    streams_[static_cast<std::size_t>(best)].queue.pop_front();
    return writeSample(best, q);
}

Status DsmMuxer::writeSample(int index, Queued& q) {
    Stream& s = streams_[static_cast<std::size_t>(index)];
    const AVPacket& p = *q.packet;
    const bool key = p.flags & AV_PKT_FLAG_KEY;
    const std::uint8_t* data = p.data;
    std::size_t size = static_cast<std::size_t>(p.size);
    if (s.bottomUpRgb) {
        const std::size_t src = static_cast<std::size_t>(s.width) * 3;
        const std::size_t dst = (src + 3) / 4 * 4;
        if (size < src * static_cast<std::size_t>(s.height))
            return Status::fail("A picture is shorter than its size.");
        scratch_.assign(dst * static_cast<std::size_t>(s.height), 0);
        for (int y = 0; y < s.height; ++y)
            std::copy_n(p.data + src * static_cast<std::size_t>(s.height - 1 - y), src,
                        scratch_.data() + dst * static_cast<std::size_t>(y));
        data = scratch_.data();
        size = scratch_.size();
    }

    const bool negative = q.timeKnown && q.pts < 0;
    const std::uint64_t ts =
        q.timeKnown ? static_cast<std::uint64_t>(negative ? -q.pts : q.pts) : 0;
    const int tsLen = q.timeKnown ? lengthOf(ts) : 0;
    const std::uint64_t dur = static_cast<std::uint64_t>(std::max<std::int64_t>(q.duration, 0));
    const int durLen = lengthOf(dur);
    std::vector<std::uint8_t> head{
        static_cast<std::uint8_t>(index),
        static_cast<std::uint8_t>((key && q.timeKnown ? 0x80 : 0) |
                                  (negative || !q.timeKnown ? 0x40 : 0) | tsLen << 3 | durLen)};
    putBig(head, ts, tsLen);
    putBig(head, dur, durLen);

    const std::int64_t position = avio_tell(io_);
    writePacketHeader(dsm::Sample, head.size() + size);
    avio_write(io_, head.data(), static_cast<int>(head.size()));
    avio_write(io_, data, static_cast<int>(size));

    if (key && q.timeKnown && (s.recentSyncs.empty() || q.pts > s.recentSyncs.back().time))
        noteSyncSample(index, q.pts, position);
    return io_->error < 0 ? Status::fromAv(io_->error, "Writing the DSM file failed")
                          : Status::ok();
}

void DsmMuxer::noteSyncSample(int index, std::int64_t time, std::int64_t position) {
    Stream& s = streams_[static_cast<std::size_t>(index)];
    s.recentSyncs.push_back({time, position});
    if (s.recentSyncs.size() > kMaxQueued) s.recentSyncs.pop_front();

    // Seek points follow the pictures' key frames; a file of sound alone gets one a second.
    bool hasVideo = false;
    for (const Stream& other : streams_)
        hasVideo |= other.type.majorType == wm::guids::kMediaTypeVideo;
    if (hasVideo ? s.type.majorType != wm::guids::kMediaTypeVideo
                 : (!syncPoints_.empty() && time - syncPoints_.back().time < 10'000'000))
        return;
    // The point starts where every stream has a sync sample at or before its time.
    std::int64_t from = position;
    for (const Stream& other : streams_) {
        const Stream::Recent* found = nullptr;
        for (auto it = other.recentSyncs.rbegin(); it != other.recentSyncs.rend() && !found; ++it)
            if (it->time <= time) found = &*it;
        if (!found) return;  // that stream cannot be decoded from here yet
        from = std::min(from, found->position);
    }
    if (syncPoints_.empty() ||
        (time > syncPoints_.back().time && from >= syncPoints_.back().position))
        syncPoints_.push_back({time, from});
}

Status DsmMuxer::end() {
    for (;;) {
        bool any = false;
        for (const Stream& s : streams_) any |= !s.queue.empty();
        if (!any) break;
        if (Status st = emitOldest(); !st) return st;
    }
    if (!syncPoints_.empty()) {
        std::vector<std::uint8_t> b;
        std::int64_t lastTime = 0, lastPos = 0;
        for (const SyncEntry& e : syncPoints_) {
            const std::int64_t dt = e.time - lastTime;
            const std::uint64_t adt = static_cast<std::uint64_t>(dt < 0 ? -dt : dt);
            const std::uint64_t dp = static_cast<std::uint64_t>(e.position - lastPos);
            const int tl = lengthOf(adt), pl = lengthOf(dp);
            b.push_back(static_cast<std::uint8_t>((dt < 0 ? 0x80 : 0) | tl << 4 | pl << 1));
            putBig(b, adt, tl);
            putBig(b, dp, pl);
            lastTime = e.time;
            lastPos = e.position;
        }
        writePacketHeader(dsm::SyncPoints, b.size());
        avio_write(io_, b.data(), static_cast<int>(b.size()));
    }
    avio_flush(io_);
    return io_->error < 0 ? Status::fromAv(io_->error, "The end of the DSM file cannot be written")
                          : Status::ok();
}

}  // namespace media
