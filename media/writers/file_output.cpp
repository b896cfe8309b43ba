// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/file_output.h"

#include <atomic>
#include <cstring>
#include <new>
#include <set>
#include <vector>

#include "media/smart/copy_plan.h"
#include "media/writers/output_format.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace media {

// Hands the engine's delivery to the writer. Used by the engine's delivery thread while a
// render runs and by the owner only once the engine has stopped, never by both at once.
class FileOutput::Sink : public render::RenderSink {
public:
    Sink(std::unique_ptr<MediaWriter> writer, int videoGroup, int audioGroup)
        : writer_(std::move(writer)), videoGroup_(videoGroup), audioGroup_(audioGroup) {}

    // Before the engine runs: the header, and which frames come from the clips.
    Status startWriting(std::shared_ptr<const smart::CopyPlan> plan) {
        if (plan) {
            copied_ = plan->copiedRanges();
            times_ = plan->times;
        }
        return writer_->startWriting(std::move(plan));
    }

    Status writeVideo(int group, const Frame& frame) override {
        if (group != videoGroup_) return Status::ok();
        Status s = writer_->writeVideo(frame);
        if (!s) return s;
        if (copied_.empty()) {
            ++pictures_;
        } else {
            // Copied frames before this one were written with it.
            framesDone_ = times_.firstAtOrAfter(frame.pts) + 1;
            pictures_ = framesDone_.load();
        }
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
        if (s && !copied_.empty()) {
            framesDone_ = INT64_MAX;
            pictures_ = std::max(pictures_.load(), copied_.back().second);
        }
        return s;
    }

    // The output time whose pictures were copied and written so far; frames copied.
    std::pair<Ticks, std::int64_t> copiedTime() const {
        const std::int64_t done = framesDone_;
        Ticks time = 0;
        std::int64_t frames = 0;
        for (const auto& [first, end] : copied_) {
            if (end > done) break;
            time += times_.at(end) - times_.at(first);
            frames += end - first;
        }
        return {time, frames};
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
        writer_->endAtLastPicture();
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
    render::FrameRanges copied_;
    render::FrameTimes times_;
    std::atomic<std::int64_t> framesDone_{0};
};

FileOutput::~FileOutput() {
    // An output dropped while it still runs leaves no file behind.
    if (sink_) abandon();
    endStart();
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
    const bool copying = copyUnchanged_ && videoGroup_ >= 0 && outputTakesCopies();
    {
        std::lock_guard lock(reportMutex_);
        copyReport_ = {};
        copyReport_.tried = copying;
        copyReport_.total = engine_.plan().length;
    }
    settings_.copyUnchanged = copying;
    std::unique_ptr<MediaWriter> writer;
    if (Status s = openMediaWriter(std::move(settings_), writer); !s) return s;
    sink_ = std::make_shared<Sink>(std::move(writer), videoGroup_, audioGroup_);
    engine_.setSink(sink_);
    if (copying) {
        startStopped_ = false;
        starting_ = std::thread([this] { startCopying(); });
        return Status::ok();
    }
    if (Status s = engine_.run(); !s) {
        abandon();
        return s;
    }
    return Status::ok();
}

bool FileOutput::outputTakesCopies() const {
    const ContainerInfo* container = containerForCode(settings_.formatCode);
    if (!container ||
        (container->format != OutputFormat::Mp4 && container->format != OutputFormat::Matroska))
        return false;
    const EncoderChoice& choice = settings_.videoEncoder;
    const AVCodecContext* context = choice.context.get();
    const AVCodec* codec = context ? context->codec : choice.codec;
    if (!codec || std::strcmp(codec->name, "libx264") != 0) return false;
    if (!context) return true;  // opened with the stream's own 4:2:0 and no options
    if (context->pix_fmt != AV_PIX_FMT_NONE && context->pix_fmt != AV_PIX_FMT_YUV420P &&
        context->pix_fmt != AV_PIX_FMT_YUVJ420P)
        return false;
    if (context->flags & AV_CODEC_FLAG_INTERLACED_DCT) return false;
    // The encoder's own profile and parameters may still ask for more than 8-bit 4:2:0
    // progressive pictures.
    auto option = [context](const char* name) {
        std::uint8_t* value = nullptr;
        if (!context->priv_data || av_opt_get(context->priv_data, name, 0, &value) < 0 || !value)
            return std::string();
        std::string text(reinterpret_cast<char*>(value));
        av_free(value);
        return text;
    };
    const std::string profile = option("profile");
    for (const char* refused : {"10", "422", "444"})
        if (profile.find(refused) != std::string::npos) return false;
    for (const char* name : {"x264opts", "x264-params"}) {
        const std::string params = option(name);
        for (const char* refused :
             {"interlaced", "tff", "bff", "output-depth", "output-csp", "profile=high1", "profile=high4"})
            if (params.find(refused) != std::string::npos) return false;
    }
    return true;
}

void FileOutput::startCopying() {
    const render::GroupPlan& group = engine_.plan().groups[static_cast<std::size_t>(videoGroup_)];
    std::set<std::string> paths;
    for (const auto& track : group.tracks)
        for (const auto& source : track.sources) paths.insert(source.path);
    Status s = Status::ok();
    std::vector<std::shared_ptr<const smart::ClipScan>> scans;
    for (const std::string& path : paths) {
        auto scan = std::make_shared<smart::ClipScan>();
        s = smart::scanClip(path, startStopped_, *scan);
        if (!s) break;
        scans.push_back(std::move(scan));
    }
    std::shared_ptr<smart::CopyPlan> plan;
    if (s) {
        render::OutputInfo info;
        engine_.outputInfo(videoGroup_, info);
        plan = std::make_shared<smart::CopyPlan>(
            smart::planCopies(group, render::FrameTimes(group.fps), info.frameCount, scans));
        std::lock_guard lock(reportMutex_);
        copyReport_.whyNone = plan->whyNone;
    }
    if (s) s = sink_->startWriting(plan);
    if (s && plan && !plan->stretches.empty())
        s = engine_.leaveOutFrames(videoGroup_, plan->copiedRanges());
    if (s && !startStopped_) s = engine_.run();
    if (!s && !startStopped_) engine_.reportFailure(s);
}

void FileOutput::endStart() {
    startStopped_ = true;
    if (starting_.joinable()) starting_.join();
}

Status FileOutput::stop() {
    endStart();
    if (!sink_) return Status::ok();
    engine_.stop();
    engine_.setSink(nullptr);
    return sink_->finishIfOpen();
}

void FileOutput::abandon() {
    endStart();
    if (!sink_) return;
    engine_.stop();
    engine_.setSink(nullptr);
    sink_->discard();
    sink_.reset();
}

std::int64_t FileOutput::picturesWritten() const {
    return sink_ ? sink_->pictures() : 0;
}

CopyReport FileOutput::copyReport() const {
    std::lock_guard lock(reportMutex_);
    CopyReport report = copyReport_;
    if (sink_) report.copied = sink_->copiedTime().first;
    return report;
}

const WriterInfo* FileOutput::info() const {
    return sink_ ? &sink_->info() : nullptr;
}

}  // namespace media
