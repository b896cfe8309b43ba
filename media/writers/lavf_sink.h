#pragma once
#include <memory>
#include <vector>

#include "media/writers/output_format.h"
#include "media/writers/packet_sink.h"

namespace media {

// The containers libavformat writes: AVI, ASF, Matroska, MP4, Ogg.
class LavfSink : public PacketSink {
public:
    static Status create(const ContainerInfo& container, std::unique_ptr<LavfSink>& out);
    // Whether the container wants codec headers once, in the stream description.
    bool wantsGlobalHeader() const;

    Status addStream(const AVCodecContext& encoder) override;
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
