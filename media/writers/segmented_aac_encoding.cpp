// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/segmented_aac_encoding.h"

#include <algorithm>
#include <cstring>
#include <limits>

extern "C" {
#include <libavutil/opt.h>
}

#include "media/core/log.h"

namespace media {
namespace {

constexpr int kSegmentSeconds = 10;
// Frames encoded before and after a segment's own: the encoder looks one frame ahead for
// its window shape, and its psychoacoustic model settles within a few.
constexpr int kMarginFrames = 4;

// A fresh encoder with `model`'s settings, opened.
Status openLike(const AVCodecContext& model, av::CodecPtr& out) {
    out.reset(avcodec_alloc_context3(model.codec));
    if (!out) return Status::outOfMemory();
    AVCodecContext& c = *out;
    if (av_opt_copy(&c, &model) < 0 ||
        (model.priv_data && c.priv_data && av_opt_copy(c.priv_data, model.priv_data) < 0))
        return Status::fail("The audio compressor's settings cannot be taken over.");
    c.sample_rate = model.sample_rate;
    c.sample_fmt = model.sample_fmt;
    av_channel_layout_uninit(&c.ch_layout);
    if (av_channel_layout_copy(&c.ch_layout, &model.ch_layout) < 0) return Status::outOfMemory();
    c.time_base = model.time_base;
    c.bit_rate = model.bit_rate;
    c.flags = model.flags;
    c.global_quality = model.global_quality;
    c.profile = model.profile;
    installFfmpegLogRouting();
    if (int r = avcodec_open2(&c, c.codec, nullptr); r < 0)
        return Status::fromAv(r, "The audio encoder cannot start");
    return Status::ok();
}

bool sameDescription(const AVCodecContext& a, const AVCodecContext& b) {
    return a.frame_size == b.frame_size && a.initial_padding == b.initial_padding &&
           a.extradata_size == b.extradata_size &&
           (a.extradata_size == 0 || std::memcmp(a.extradata, b.extradata, a.extradata_size) == 0);
}

}  // namespace

std::unique_ptr<SegmentedAacEncoding> SegmentedAacEncoding::create(const AVCodecContext& model,
                                                                   int inputRate,
                                                                   int inputChannels,
                                                                   PacketHandler sink) {
    if (std::thread::hardware_concurrency() < 2) return nullptr;
    if (!model.codec || model.codec_id != AV_CODEC_ID_AAC || std::strcmp(model.codec->name, "aac") != 0)
        return nullptr;
    // Segments are cut in the encoder's own samples: no resampler may lie between.
    if (model.frame_size <= 0 || model.sample_rate != inputRate ||
        model.ch_layout.nb_channels != inputChannels || model.sample_fmt != AV_SAMPLE_FMT_FLTP)
        return nullptr;
    av::CodecPtr trial;
    if (!openLike(model, trial) || !sameDescription(model, *trial)) return nullptr;
    return std::unique_ptr<SegmentedAacEncoding>(
        new SegmentedAacEncoding(model, inputChannels, std::move(sink)));
}

SegmentedAacEncoding::SegmentedAacEncoding(const AVCodecContext& model, int inputChannels,
                                           PacketHandler sink)
    : model_(model), sink_(std::move(sink)), channels_(inputChannels) {
    const std::int64_t frame = model.frame_size;
    segmentLength_ = (std::int64_t{kSegmentSeconds} * model.sample_rate + frame - 1) / frame * frame;
    margin_ = kMarginFrames * frame;
    held_.resize(static_cast<std::size_t>(channels_));
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 2u, 4u);
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { run(); });
}

SegmentedAacEncoding::~SegmentedAacEncoding() { cancel(); }

Status SegmentedAacEncoding::push(const float* const* planes, int count) {
    if (count < 0 || (count > 0 && !planes))
        return Status::invalidArg("No sound samples were given.");
    {
        std::unique_lock lock(mutex_);
        if (closing_) return failure_ ? Status::fail("The sound was already finished.") : failure_;
        // Segments waiting beyond one per thread hold the caller back.
        changed_.wait(lock, [&] { return !failure_ || inOrder_.size() <= threads_.size(); });
        if (!failure_) return failure_;
    }
    for (int ch = 0; ch < channels_; ++ch)
        held_[static_cast<std::size_t>(ch)].insert(held_[static_cast<std::size_t>(ch)].end(),
                                                   planes[ch], planes[ch] + count);
    while (heldFrom_ + static_cast<std::int64_t>(held_[0].size()) >=
           nextSegmentAt_ + segmentLength_ + margin_)
        cutSegment(false);
    return Status::ok();
}

void SegmentedAacEncoding::cutSegment(bool last) {
    const std::int64_t heldEnd = heldFrom_ + static_cast<std::int64_t>(held_[0].size());
    auto segment = std::make_shared<Segment>();
    const std::int64_t from = std::max<std::int64_t>(0, nextSegmentAt_ - margin_);
    const std::int64_t to = last ? heldEnd : nextSegmentAt_ + segmentLength_ + margin_;
    segment->firstSample = from;
    // The first segment keeps the encoder's priming packet, before sample 0.
    segment->keepFrom = cutAny_ ? nextSegmentAt_ : std::numeric_limits<std::int64_t>::min();
    segment->keepTo = last ? std::numeric_limits<std::int64_t>::max() : nextSegmentAt_ + segmentLength_;
    segment->samples.resize(static_cast<std::size_t>(channels_));
    for (int ch = 0; ch < channels_; ++ch) {
        const auto& source = held_[static_cast<std::size_t>(ch)];
        segment->samples[static_cast<std::size_t>(ch)].assign(source.begin() + (from - heldFrom_),
                                                              source.begin() + (to - heldFrom_));
    }
    cutAny_ = true;
    nextSegmentAt_ += segmentLength_;
    if (!last) {
        // The next segment starts its encoder a margin early.
        const std::int64_t keep = nextSegmentAt_ - margin_;
        for (auto& channel : held_) channel.erase(channel.begin(), channel.begin() + (keep - heldFrom_));
        heldFrom_ = keep;
    }
    std::lock_guard lock(mutex_);
    toEncode_.push_back(segment);
    inOrder_.push_back(std::move(segment));
    changed_.notify_all();
}

Status SegmentedAacEncoding::encode(Segment& segment) {
    av::CodecPtr codec;
    if (Status st = openLike(model_, codec); !st) return st;
    AudioEncoder encoder;
    if (Status st = encoder.start(std::move(codec), model_.sample_rate, channels_); !st) return st;
    encoder.continueAt(segment.firstSample);
    const AVRational timeBase = model_.time_base;
    const AVRational samples{1, model_.sample_rate};
    PacketHandler keep = [&](AVPacket& p) {
        const std::int64_t at = av_rescale_q(p.pts, timeBase, samples);
        if (at < segment.keepFrom || at >= segment.keepTo) return Status::ok();
        av::PacketPtr kept = av::makePacket();
        if (!kept) return Status::outOfMemory();
        av_packet_move_ref(kept.get(), &p);
        segment.packets.push_back(std::move(kept));
        return Status::ok();
    };
    std::vector<const float*> planes;
    for (const auto& channel : segment.samples) planes.push_back(channel.data());
    const int count = static_cast<int>(segment.samples[0].size());
    if (Status st = encoder.encode(planes.data(), count, keep); !st) return st;
    return encoder.flush(keep);
}

void SegmentedAacEncoding::run() {
    for (;;) {
        std::shared_ptr<Segment> segment;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return closing_ || !toEncode_.empty() || !failure_; });
            if (!failure_ || toEncode_.empty()) return;
            segment = toEncode_.front();
            toEncode_.pop_front();
        }
        Status st = encode(*segment);
        {
            std::lock_guard lock(mutex_);
            segment->samples.clear();
            segment->done = true;
            if (!st && failure_) failure_ = std::move(st);
            changed_.notify_all();
        }
        writeFinished();
    }
}

void SegmentedAacEncoding::writeFinished() {
    std::lock_guard writing(writing_);
    for (;;) {
        std::shared_ptr<Segment> next;
        {
            std::lock_guard lock(mutex_);
            if (!failure_ || inOrder_.empty() || !inOrder_.front()->done) return;
            next = inOrder_.front();
        }
        Status st = Status::ok();
        for (auto& packet : next->packets) {
            if (st) st = sink_(*packet);
        }
        std::lock_guard lock(mutex_);
        inOrder_.pop_front();
        if (!st && failure_) failure_ = std::move(st);
        changed_.notify_all();
    }
}

void SegmentedAacEncoding::stop(bool dropWaiting) {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        if (dropWaiting) toEncode_.clear();
        changed_.notify_all();
    }
    for (auto& t : threads_)
        if (t.joinable()) t.join();
}

Status SegmentedAacEncoding::finish() {
    {
        std::lock_guard lock(mutex_);
        if (closing_) return failure_ ? Status::fail("The sound was already finished.") : failure_;
    }
    // After a cut the next segment's margin is always held, so anything held is to encode.
    if (!held_[0].empty()) cutSegment(true);
    stop(false);
    writeFinished();
    std::lock_guard lock(mutex_);
    return failure_;
}

void SegmentedAacEncoding::cancel() { stop(true); }

}  // namespace media
