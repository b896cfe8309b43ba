// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/file_output.h"

#include <atomic>
#include <new>
#include <vector>

namespace media {

// Hands the engine's delivery to the writer. Used by the engine's delivery thread while a
// render runs and by the owner only once the engine has stopped, never by both at once.
class FileOutput::Sink : public render::RenderSink {
public:
    Sink(std::unique_ptr<MediaWriter> writer, int videoGroup, int audioGroup)
        : writer_(std::move(writer)), videoGroup_(videoGroup), audioGroup_(audioGroup) {}

    Status writeVideo(int group, const Frame& frame) override {
        if (group != videoGroup_) return Status::ok();
        Status s = writer_->writeVideo(frame);
        if (s) ++pictures_;
        return s;
    }

    Status writeAudio(int group, const render::AudioBlock& block) override {
        if (group != audioGroup_ || block.size() == 0) return Status::ok();
        planes_.clear();
        for (const auto& channel : block.samples) planes_.push_back(channel.data());
        Status s = writer_->writeAudio(planes_.data(), static_cast<int>(block.size()));
        if (s) soundWritten_ = true;
        return s;
    }

    Status finish() override {
        Status s = writer_->finish();
        closed_ = true;
        return s;
    }

    // After the engine stopped: keeps what was written unless the render already closed it.
    // A file without its first picture (or, with no pictures at all, its first sound) is
    // no result: it is removed, and the older file of the target's name stays.
    Status finishIfOpen() {
        if (closed_.exchange(true)) return Status::ok();
        if (videoGroup_ >= 0 ? pictures_ == 0 : !soundWritten_) {
            writer_->abort();
            return {Status::kAborted, "Nothing was written."};
        }
        return writer_->finish();
    }

    // Removes the temporary file; a file the render already finished stays.
    void discard() {
        if (closed_.exchange(true)) return;
        writer_->abort();
    }

    const WriterInfo& info() const { return writer_->info(); }
    std::int64_t pictures() const { return pictures_; }

private:
    std::unique_ptr<MediaWriter> writer_;
    int videoGroup_, audioGroup_;
    std::vector<const float*> planes_;
    std::atomic<bool> closed_{false};
    std::atomic<std::int64_t> pictures_{0};
    std::atomic<bool> soundWritten_{false};
};

FileOutput::~FileOutput() {
    // An output dropped while it still runs leaves no file behind.
    if (sink_) abandon();
}

Status FileOutput::connect(render::RenderEngine& engine, WriterSettings settings,
                           std::shared_ptr<const wm::Profile> profile,
                           std::unique_ptr<FileOutput>& out) {
    out.reset();
    std::unique_ptr<FileOutput> output(new (std::nothrow) FileOutput(engine));
    if (!output) return Status::outOfMemory();

    settings.video.reset();
    settings.audio.reset();
    for (int g = 0; g < engine.outputCount(); ++g) {
        render::OutputInfo info;
        if (Status s = engine.outputInfo(g, info); !s) return s;
        if (info.kind == MediaKind::Video && output->videoGroup_ < 0) {
            output->videoGroup_ = g;
            VideoStreamSpec video;
            video.width = info.video.width;
            video.height = info.video.height;
            video.frameRate = AVRational{info.fpsNum, info.fpsDen};
            settings.video = video;
        } else if (info.kind == MediaKind::Audio && output->audioGroup_ < 0) {
            output->audioGroup_ = g;
            AudioStreamSpec audio;
            audio.sampleRate = info.audio.sampleRate;
            audio.channels = info.audio.channels;
            settings.audio = audio;
        }
    }
    if (output->videoGroup_ < 0 && output->audioGroup_ < 0)
        return Status::invalidArg("The timeline has nothing to write: no video and no audio.");

    output->profile_ = std::move(profile);
    settings.profile = output->profile_.get();
    output->settings_ = std::move(settings);
    out = std::move(output);
    return Status::ok();
}

Status FileOutput::run() {
    if (sink_) return Status::fail("The output is already running.");
    // The engine produces the sound at the rate and channel count the file is written with.
    if (audioGroup_ >= 0 && settings_.audio) {
        AudioFormat format{settings_.audio->sampleRate, settings_.audio->channels};
        if (Status s = engine_.setAudioFormat(audioGroup_, format); !s) return s;
    }
    std::unique_ptr<MediaWriter> writer;
    if (Status s = openMediaWriter(std::move(settings_), writer); !s) return s;
    sink_ = std::make_shared<Sink>(std::move(writer), videoGroup_, audioGroup_);
    engine_.setSink(sink_);
    if (Status s = engine_.run(); !s) {
        abandon();
        return s;
    }
    return Status::ok();
}

Status FileOutput::stop() {
    if (!sink_) return Status::ok();
    engine_.stop();
    engine_.setSink(nullptr);
    return sink_->finishIfOpen();
}

void FileOutput::abandon() {
    if (!sink_) return;
    engine_.stop();
    engine_.setSink(nullptr);
    sink_->discard();
    sink_.reset();
}

std::int64_t FileOutput::picturesWritten() const {
    return sink_ ? sink_->pictures() : 0;
}

const WriterInfo* FileOutput::info() const {
    return sink_ ? &sink_->info() : nullptr;
}

}  // namespace media
