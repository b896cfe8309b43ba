// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/media_writer.h"

#include <mutex>

#include "media/core/log.h"
#include "media/writers/audio_encoding_thread.h"
#include "media/writers/segmented_aac_encoding.h"
#include "media/writers/dsm_muxer.h"
#include "media/writers/lavf_sink.h"
#include "media/writers/output_format.h"
#include "media/smart/copy_plan.h"
#include "media/writers/partial_file.h"
#include "media/writers/spliced_video.h"
#include "media/writers/stream_encoder.h"
#include "media/writers/windows_media_streams.h"

namespace media {
namespace {

constexpr int kMaxSide = 16384;
constexpr const char* kApplication = "Clipfuse";

// The codecs for "no compressor" in each container.
struct Defaults {
    AVCodecID video;
    AVPixelFormat pixelFormat;
    AVCodecID audio;
};

Defaults defaultsFor(OutputFormat f) {
    switch (f) {
        case OutputFormat::Ogm:
            return {AV_CODEC_ID_THEORA, AV_PIX_FMT_YUV420P, AV_CODEC_ID_VORBIS};
        case OutputFormat::Wmv:
        case OutputFormat::Asf:
            return {AV_CODEC_ID_WMV2, AV_PIX_FMT_YUV420P, AV_CODEC_ID_WMAV2};
        default:
            return {AV_CODEC_ID_RAWVIDEO, AV_PIX_FMT_BGR24, AV_CODEC_ID_PCM_S16LE};
    }
}

AVCodecID chosenCodec(const EncoderChoice& c, AVCodecID fallback) {
    if (c.context) return c.context->codec_id;
    if (c.codec) return c.codec->id;
    return fallback;
}

class EncodingWriter final : public MediaWriter {
public:
    ~EncodingWriter() override { abort(); }

    Status open(WriterSettings& s);
    Status startWriting(std::shared_ptr<const smart::CopyPlan> plan) override;
    Status writeVideo(const Frame& frame) override;
    Status writeAudio(const float* const* planes, int count) override;
    Status finish() override;
    void endAtLastPicture() override {
        if (spliced_) spliced_->dropPendingCopies();
    }
    void abort() override;
    const WriterInfo& info() const override { return info_; }

private:
    Status fail(Status st) {
        // A write that failed because the disk did is reported as the disk's failure.
        if (file_) {
            if (Status io = file_->writeStatus(); !io) st = io;
        }
        abort();
        return st;
    }
    Status checkOpen() const {
        if (closed_) return Status::fail("The output file is already closed.");
        if (!begun_) return Status::fail("The output file was not started.");
        return Status::ok();
    }
    // Describes the streams to the container and writes its header.
    Status begin();

    WriterInfo info_;
    std::unique_ptr<PacketSink> sink_;
    std::unique_ptr<PartialFile> file_;
    LavfSink* lavf_ = nullptr;
    av::CodecPtr videoCodec_;  // the video encoder, until begin() knows how it is used
    std::optional<VideoEncoder> video_;
    std::optional<SplicedVideo> spliced_;
    std::optional<AudioEncoder> audio_;
    // Encodes the sound beside the pictures once the header is written; the sink is
    // shared between the threads under sinkMutex_.
    std::unique_ptr<SoundEncoding> sound_;
    std::mutex sinkMutex_;
    int videoIndex_ = -1, audioIndex_ = -1;
    PacketHandler videoSink_, audioSink_;
    bool closed_ = true;
    bool begun_ = false;
};

Status EncodingWriter::open(WriterSettings& s) {
    const ContainerInfo* container = containerForCode(s.formatCode);
    if (!container)
        return Status::invalidArg("Does not support the video format (format code " +
                                  std::to_string(s.formatCode) + ").");
    info_.container = container->name;
    if (s.path.empty()) return Status::invalidArg("No output file name was given.");
    if (!s.video && !s.audio)
        return Status::invalidArg("The output has neither pictures nor sound.");
    if (s.video && (s.video->width <= 0 || s.video->height <= 0 || s.video->width > kMaxSide ||
                    s.video->height > kMaxSide))
        return Status::invalidArg("The picture size " + std::to_string(s.video->width) + " x " +
                                  std::to_string(s.video->height) + " cannot be written.");
    if (s.video && (s.video->frameRate.num <= 0 || s.video->frameRate.den <= 0))
        return Status::invalidArg("The frame rate must be above zero.");
    if (s.audio && (s.audio->sampleRate < 1000 || s.audio->sampleRate > 384000 ||
                    s.audio->channels < 1 || s.audio->channels > 8))
        return Status::invalidArg("The sound format cannot be written.");

    Defaults defaults = defaultsFor(container->format);
    VideoEncoderRequest vreq;
    AudioEncoderRequest areq;
    if (s.video) {
        vreq.width = s.video->width;
        vreq.height = s.video->height;
        vreq.frameRate = s.video->frameRate;
        vreq.timeBase = s.video->timeBase.num > 0 && s.video->timeBase.den > 0
                            ? s.video->timeBase
                            : av_inv_q(s.video->frameRate);
    }
    if (s.audio) {
        areq.inputRate = areq.sampleRate = s.audio->sampleRate;
        areq.inputChannels = areq.channels = s.audio->channels;
    }

    if (container->windowsMedia) {
        if (!s.profile)
            return Status::invalidArg(std::string(container->name) +
                                      " output needs a Windows Media profile.");
        WindowsMediaStreams wms;
        if (Status st = windowsMediaStreams(*s.profile, wms); !st) return st;
        // The profile decides the encoding; compressors are not used before this writer.
        s.videoEncoder = {};
        s.audioEncoder = {};
        if (s.video && !wms.hasVideo)
            return Status::invalidArg("The profile has no video stream for the pictures.");
        if (s.audio && !wms.hasAudio)
            return Status::invalidArg("The profile has no audio stream for the sound.");
        defaults.video = wms.videoCodec;
        defaults.audio = wms.audioCodec;
        vreq.width = wms.width;
        vreq.height = wms.height;
        vreq.bitRate = wms.videoBitrate;
        vreq.gopSize = wms.gopSize;
        if (wms.frameRate.num > 0) vreq.frameRate = wms.frameRate;
        areq.sampleRate = wms.sampleRate;
        areq.channels = wms.channels;
        areq.bitRate = wms.audioBitrate;
    } else if (container->format == OutputFormat::Ogm && s.audioEncoder.empty()) {
        areq.bitRate = 128000;  // our own Vorbis default; a compressor keeps its own rate
    }
    vreq.pixelFormat = chosenCodec(s.videoEncoder, defaults.video) == AV_CODEC_ID_RAWVIDEO
                           ? AV_PIX_FMT_BGR24
                           : AV_PIX_FMT_NONE;

    // Refuse what the container cannot carry before anything is written.
    for (bool isVideo : {true, false}) {
        if (isVideo ? !s.video : !s.audio) continue;
        AVCodecID id = chosenCodec(isVideo ? s.videoEncoder : s.audioEncoder,
                                   isVideo ? defaults.video : defaults.audio);
        if (!containerCarries(*container, id))
            return Status::invalidArg("The codec \"" + codecDisplayName(id) +
                                      "\" cannot be written into a " + container->name +
                                      " file. Choose another compressor or another output format.");
    }

    LavfSink* lavf = nullptr;
    if (container->muxer) {
        std::unique_ptr<LavfSink> sink;
        if (Status st = LavfSink::create(*container, s.muxerOptions, sink); !st) return st;
        lavf = sink.get();
        sink_ = std::move(sink);
    } else {
        if (!s.muxerOptions.empty())
            return Status::invalidArg(std::string("The ") + container->name +
                                      " writer has no options to set.");
        sink_ = std::make_unique<DsmMuxer>(kApplication);
    }
    vreq.globalHeader = areq.globalHeader = lavf && lavf->wantsGlobalHeader();

    if (s.video) {
        av::CodecPtr codec;
        if (Status st = openVideoCodec(s.videoEncoder, defaults.video, vreq, codec); !st) return st;
        if (!containerCarries(*container, codec->codec_id))
            return Status::invalidArg("The codec \"" + codecDisplayName(codec->codec_id) +
                                      "\" cannot be written into a " + container->name + " file.");
        info_.videoCodec = codec->codec->name;
        videoIndex_ = 0;
        videoCodec_ = std::move(codec);
    }
    if (s.audio) {
        av::CodecPtr codec;
        if (Status st = openAudioCodec(s.audioEncoder, defaults.audio, areq, codec); !st) return st;
        if (!containerCarries(*container, codec->codec_id))
            return Status::invalidArg("The codec \"" + codecDisplayName(codec->codec_id) +
                                      "\" cannot be written into a " + container->name + " file.");
        info_.audioCodec = codec->codec->name;
        audioIndex_ = videoIndex_ == 0 ? 1 : 0;
        audio_.emplace();
        if (Status st = audio_->start(std::move(codec), areq.inputRate, areq.inputChannels); !st)
            return st;
    }
    videoSink_ = [this](AVPacket& p) {
        std::lock_guard lock(sinkMutex_);
        return sink_->write(p, videoIndex_);
    };
    audioSink_ = [this](AVPacket& p) {
        std::lock_guard lock(sinkMutex_);
        return sink_->write(p, audioIndex_);
    };

    if (Status st = PartialFile::create(s.path, file_); !st) return st;
    info_.tempPath = file_->tempPath();
    if (lavf) lavf->setFilePath(file_->tempPath());
    lavf_ = lavf;
    closed_ = false;
    if (s.copyUnchanged) return Status::ok();  // the header waits for startWriting()
    return begin();
}

Status EncodingWriter::startWriting(std::shared_ptr<const smart::CopyPlan> plan) {
    if (closed_) return Status::fail("The output file is already closed.");
    if (begun_) return Status::fail("The output file was already started.");
    if (plan && !plan->stretches.empty() && videoCodec_ && lavf_) {
        spliced_.emplace();
        if (Status st = spliced_->open(std::move(plan), *videoCodec_); !st) return fail(st);
    }
    return begin();
}

Status EncodingWriter::begin() {
    if (spliced_) {
        if (Status st = sink_->addStream(spliced_->encoder()); !st) return fail(st);
        const smart::Bytes& description = spliced_->trackDescription();
        if (Status st = lavf_->setDescription(videoIndex_, description, description[1],
                                              description[3]);
            !st)
            return fail(st);
    } else if (videoCodec_) {
        if (Status st = sink_->addStream(*videoCodec_); !st) return fail(st);
        video_.emplace();
        if (Status st = video_->start(std::move(videoCodec_)); !st) return fail(st);
    }
    if (audio_) {
        if (Status st = sink_->addStream(*audio_->context()); !st) return fail(st);
    }
    if (Status st = sink_->begin(file_->io()); !st) return fail(st);
    if (audio_) {
        sound_ = SegmentedAacEncoding::create(*audio_->context(), audio_->inputRate(),
                                              audio_->inputChannels(), audioSink_);
        // Enough sound to keep the encoder busy while the pictures around a transition are
        // rendered (AAC encodes about 30 s of sound a second); 10 MB at 44.1 kHz stereo.
        constexpr int kSecondsWaiting = 30;
        if (!sound_)
            sound_ = std::make_unique<AudioEncodingThread>(*audio_, audioSink_,
                                                           audio_->inputChannels(),
                                                           audio_->inputRate() * kSecondsWaiting);
    }
    begun_ = true;
    return Status::ok();
}

Status EncodingWriter::writeVideo(const Frame& frame) {
    if (Status st = checkOpen(); !st) return st;
    if (spliced_) {
        if (Status st = spliced_->write(frame, videoSink_); !st) return fail(st);
        return Status::ok();
    }
    if (!video_) return Status::invalidArg("This output has no video stream.");
    if (Status st = video_->encode(frame, videoSink_); !st) return fail(st);
    return Status::ok();
}

Status EncodingWriter::writeAudio(const float* const* planes, int count) {
    if (Status st = checkOpen(); !st) return st;
    if (!sound_) return Status::invalidArg("This output has no audio stream.");
    if (Status st = sound_->push(planes, count); !st) return fail(st);
    return Status::ok();
}

Status EncodingWriter::finish() {
    if (Status st = checkOpen(); !st) return st;
    Status st = Status::ok();
    if (spliced_) st = spliced_->finish(videoSink_);
    if (video_) st = video_->flush(videoSink_);
    if (sound_) {
        Status sound = sound_->finish();
        sound_.reset();
        if (st) st = sound;
    }
    if (st && audio_) st = audio_->flush(audioSink_);
    if (st) st = sink_->end();
    if (!st) return fail(st);
    st = file_->commit();
    closed_ = true;
    file_.reset();
    if (!st) return fail(st);
    return Status::ok();
}

void EncodingWriter::abort() {
    closed_ = true;
    sound_.reset();  // before the sink it writes to
    // The sink goes first: it may still point at the file's I/O.
    sink_.reset();
    if (file_) file_->discard();
    file_.reset();
}

}  // namespace

Status openMediaWriter(WriterSettings settings, std::unique_ptr<MediaWriter>& out) {
    auto writer = std::make_unique<EncodingWriter>();
    if (Status st = writer->open(settings); !st) {
        writer->abort();
        return st;
    }
    out = std::move(writer);
    return Status::ok();
}

}  // namespace media
