// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Our own writer of DSM files: a packet container that carries the platform's media types
// (GUIDs and format blocks) for players built on them. Layout: file information, one media
// type per stream, the samples in time order, and sync points for seeking at the end.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "media/wm/media_type.h"
#include "media/writers/packet_sink.h"

namespace media {

namespace dsm {
inline constexpr std::uint8_t kSync[4] = {'D', 'S', 'M', 'S'};
enum PacketType : std::uint8_t {
    FileInfo = 0,
    StreamInfo = 1,
    MediaTypePacket = 2,
    Chapters = 3,
    Sample = 4,
    SyncPoints = 5,
    Resource = 6
};
}  // namespace dsm

// Whether a DSM file can describe the codec with a platform media type.
bool dsmCarries(AVCodecID codec);

// The media type a DSM file records for an opened encoder's stream.
Status dsmMediaType(const AVCodecContext& encoder, wm::MediaType& out);

class DsmMuxer : public PacketSink {
public:
    // `application` is written as the file's MUXR entry.
    explicit DsmMuxer(std::string application) : application_(std::move(application)) {}

    Status addStream(const AVCodecContext& encoder) override;
    Status begin(AVIOContext* io) override;
    Status write(AVPacket& packet, int index) override;
    Status end() override;

private:
    struct Queued {
        av::PacketPtr packet;
        std::int64_t dts = 0;  // ticks; orders the samples in the file
        std::int64_t pts = 0;
        std::int64_t duration = 0;
        bool timeKnown = true;
    };
    struct Stream {
        wm::MediaType type;
        AVRational timeBase{1, 1};
        bool bottomUpRgb =
            false;  // raw pictures are stored as DIBs: rows bottom-up, padded to 4 bytes
        int width = 0;
        int height = 0;
        std::deque<Queued> queue;
        struct Recent {
            std::int64_t time;
            std::int64_t position;
        };
        std::deque<Recent> recentSyncs;  // the latest sync samples written, oldest first
    };
    struct SyncEntry {
        std::int64_t time;
        std::int64_t position;
    };
    void noteSyncSample(int index, std::int64_t time, std::int64_t position);

    Status emitOldest();
    Status writeSample(int index, Queued& q);
    void writePacketHeader(dsm::PacketType type, std::uint64_t size);

    std::string application_;
    AVIOContext* io_ = nullptr;
    std::deque<Stream> streams_;  // never relocated: a stream holds its queue
    std::vector<SyncEntry> syncPoints_;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace media
