// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/compressor_trial.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "media/core/frame.h"
#include "media/writers/compressor_trial_request.h"
#include "media/writers/media_writer.h"
#include "media/writers/output_format.h"

namespace media {
namespace {

// A size and a rate nearly every encoder takes: a refusal that goes away with one of them
// was a refusal of the user's size or rate.
constexpr int kCommonWidth = 352;
constexpr int kCommonHeight = 288;
constexpr FrameRate kCommonRate{25, 1};
constexpr int kCommonSampleRate = 48000;
constexpr int kVideoFrames = 5;
constexpr int kAudioSamples = 4096;

std::string scratchPath(const ContainerInfo& container) {
    static std::atomic<int> counter{0};
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    return ((ec ? std::filesystem::path("/tmp") : dir) /
            ("clipfuse-trial-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
             "." + (container.muxer ? container.muxer : "dsm")))
        .string();
}

// A few frames of black or silence through the writer a Join uses; the file is removed.
Status tryWriting(const codecs::Compressor& compressor, const TrialOutput& o) {
    const ContainerInfo* container = containerForCode(o.formatCode);
    if (!container) return Status::invalidArg("unknown output format");
    WriterSettings s;
    s.formatCode = o.formatCode;
    s.path = scratchPath(*container);
    const std::string path = s.path;
    const bool globalHeader = containerWantsGlobalHeader(*container);
    if (compressor.category() == codecs::CompressorCategory::Video) {
        s.video = VideoStreamSpec{
            o.width, o.height, AVRational{o.frameRate.num, o.frameRate.den}, {0, 1}};
        codecs::VideoStreamParams p{o.width, o.height, AVRational{o.frameRate.num, o.frameRate.den},
                                    globalHeader};
        if (Status st = compressor.openEncoder(p, s.videoEncoder.context); !st) return st;
    } else {
        s.audio = AudioStreamSpec{o.sampleRate, o.channels};
        codecs::AudioStreamParams p{o.sampleRate, o.channels, globalHeader};
        if (Status st = compressor.openEncoder(p, s.audioEncoder.context); !st) return st;
    }
    std::unique_ptr<MediaWriter> writer;
    if (Status st = openMediaWriter(std::move(s), writer); !st) return st;
    Status st = Status::ok();
    if (compressor.category() == codecs::CompressorCategory::Video) {
        Frame black(o.width, o.height);
        for (int i = 0; i < kVideoFrames && st; ++i) {
            black.pts = static_cast<Ticks>(i) * kTicksPerSecond * o.frameRate.den / o.frameRate.num;
            st = writer->writeVideo(black);
        }
    } else {
        std::vector<float> silence(kAudioSamples, 0.0f);
        std::vector<const float*> planes(static_cast<std::size_t>(o.channels), silence.data());
        st = writer->writeAudio(planes.data(), kAudioSamples);
    }
    if (!st) {
        writer->abort();
        return st;
    }
    st = writer->finish();
    writer.reset();
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return st;
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "*" + std::to_string(height);
}

// Why the trial failed, as a user reads it: what was refused, found by trying again with
// the common size, rate or sample rate in place of the user's.
std::string explain(const codecs::Compressor& compressor, const TrialOutput& o,
                    const Status& failure) {
    const std::string name = compressor.device().friendlyName;
    const ContainerInfo* container = containerForCode(o.formatCode);
    const std::string format = container ? container->name : "this";
    if (container && !containerCarries(*container, compressor.codec()->id))
        return name + " cannot be written into a " + format + " file.";
    const std::string cause = " (" + failure.text() + ")";
    if (compressor.category() == codecs::CompressorCategory::Video) {
        const std::string rateName = frameRateText(o.frameRate) + " frames per second";
        if (std::string listed = rateRefusal(compressor.codec(), name, o.frameRate);
            !listed.empty())
            return listed;
        TrialOutput commonRate = o;
        commonRate.frameRate = kCommonRate;
        TrialOutput commonSize = o;
        commonSize.width = kCommonWidth;
        commonSize.height = kCommonHeight;
        const bool rateRefused =
            !(o.frameRate == kCommonRate) && tryWriting(compressor, commonRate);
        const bool sizeRefused = !(o.width == kCommonWidth && o.height == kCommonHeight) &&
                                 tryWriting(compressor, commonSize);
        if (rateRefused && !sizeRefused) return name + " does not take " + rateName + "." + cause;
        if (sizeRefused && !rateRefused)
            return name + " does not take the size " + sizeText(o.width, o.height) + "." + cause;
        return name + " does not work in a " + format + " file at " + sizeText(o.width, o.height) +
               " and " + rateName + "." + cause;
    }
    const std::string rateName = std::to_string(o.sampleRate) + " Hz";
    TrialOutput commonRate = o;
    commonRate.sampleRate = kCommonSampleRate;
    if (o.sampleRate != kCommonSampleRate && tryWriting(compressor, commonRate))
        return name + " does not take sound at " + rateName + "." + cause;
    return name + " does not work in a " + format + " file with sound at " + rateName + "." + cause;
}

// Pairs that write without a complaint and still give a file no player reads: the
// Matroska writer stores True Audio without the header its decoder needs.
bool writesUnplayable(const codecs::Compressor& compressor, const ContainerInfo& container) {
    return container.format == OutputFormat::Matroska && compressor.codec()->id == AV_CODEC_ID_TTA;
}

}  // namespace

std::string refusalWithoutTrial(const codecs::Compressor& compressor, const TrialOutput& o) {
    const ContainerInfo* container = containerForCode(o.formatCode);
    if (!container) return "The output format is not known.";
    if (!containerCarries(*container, compressor.codec()->id) ||
        writesUnplayable(compressor, *container))
        return compressor.device().friendlyName + " cannot be written into a " + container->name +
               " file.";
    return {};
}

std::string compressorRefusal(const codecs::Compressor& compressor, const TrialOutput& o) {
    static std::mutex mutex;
    static std::map<std::string, std::string> remembered;
    const std::string key = trialKey(trialRequestFor(compressor, o));
    {
        std::lock_guard lock(mutex);
        if (auto it = remembered.find(key); it != remembered.end()) return it->second;
    }
    std::string refusal = refusalWithoutTrial(compressor, o);
    if (refusal.empty())
        if (Status st = tryWriting(compressor, o); !st) refusal = explain(compressor, o, st);
    std::lock_guard lock(mutex);
    remembered.emplace(key, refusal);
    return refusal;
}

std::string compressorRefusal(codecs::CompressorCategory category, int index,
                              const TrialOutput& output,
                              const codecs::CompressorRegistry& registry) {
    codecs::CompressorRef bound;
    const Status s = codecs::bindCompressor(category, index, &bound, registry);
    if (!s) return s.text();
    if (!bound) return "The compressor is not installed.";
    return compressorRefusal(*bound, output);
}

}  // namespace media
