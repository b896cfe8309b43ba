// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "media/writers/media_writer.h"
#include "media/writers/output_format.h"
#include "media/writers/packet_sink.h"

namespace media {

// The containers libavformat writes: AVI, ASF, Matroska, MP4, Ogg.
class LavfSink : public PacketSink {
public:
    // Sets `options` on the container's writer at once, so that one it does not have is
    // refused before anything is written.
    static Status create(const ContainerInfo& container, const MuxerOptions& options,
                         std::unique_ptr<LavfSink>& out);
    // The file the I/O given to begin() writes. A writer that rewrites its file when it
    // ends (MP4 with its index moved to the front) reads it back under this name.
    void setFilePath(const std::string& path);
    // Whether the container wants codec headers once, in the stream description.
    bool wantsGlobalHeader() const;

    Status addStream(const AVCodecContext& encoder) override;
    // Replaces a stream's decoder description (extradata) before begin().
    Status setDescription(int index, const std::vector<std::uint8_t>& description, int profile,
                          int level);
    Status begin(AVIOContext* io) override;
    Status write(AVPacket& packet, int index) override;
    Status end() override;

private:
    const ContainerInfo* container_ = nullptr;
    av::OutputPtr ctx_;
    std::vector<AVRational> encoderTimeBase_;
    bool started_ = false;
};

}  // namespace media
