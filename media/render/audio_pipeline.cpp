// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/audio_pipeline.h"

#include <algorithm>
#include <list>

#include "media/core/input_file.h"
#include "media/render/frame_times.h"

namespace media::render {
namespace {

struct Span {
    std::int64_t first, end;  // output samples
    const SourcePlan* source;
};

struct OpenSource {
    Span span;
    std::unique_ptr<decode::AudioReader> reader;
};

}  // namespace

AudioPipeline::AudioPipeline(const GroupPlan& group, Ticks length, std::int64_t startSample,
                             Note note)
    : group_(group),
      format_(group.type.audio),
      start_(startSample),
      count_(sampleAt(length, group.type.audio.sampleRate)),
      note_(std::move(note)) {
    thread_ = std::thread([this] { run(); });
}

AudioPipeline::~AudioPipeline() {
    stop();
}

void AudioPipeline::stop() {
    stopping_ = true;
    queue_.close();
    if (thread_.joinable()) thread_.join();
}

Status AudioPipeline::next(AudioBlock& out, bool& end) {
    end = false;
    auto item = queue_.pop();
    if (!item) return {Status::kAborted, "The render was stopped."};
    if (item->status.failed()) return item->status;
    end = item->end;
    out = std::move(item->block);
    return Status::ok();
}

void AudioPipeline::run() {
    ReadCancel cancel(stopping_);
    const int rate = format_.sampleRate;
    std::vector<Span> spans;
    for (const auto& track : group_.tracks)
        for (const auto& s : track.sources) {
            Span span{sampleAt(s.start, rate), std::min(count_, sampleAt(s.stop, rate)), &s};
            if (span.end > std::max(span.first, start_)) spans.push_back(span);
        }
    std::stable_sort(spans.begin(), spans.end(),
                     [](const Span& a, const Span& b) { return a.first < b.first; });

    std::size_t cursor = 0;
    std::list<OpenSource> open;
    decode::SampleBlock piece;
    for (std::int64_t a = start_; a < count_; a += kBlockSamples) {
        if (stopping_) return;
        const std::int64_t n = std::min<std::int64_t>(kBlockSamples, count_ - a);
        AudioBlock block{
            a, decode::SampleBlock(static_cast<std::size_t>(format_.channels),
                                   std::vector<float>(static_cast<std::size_t>(n), 0.0f))};
        while (cursor < spans.size() && spans[cursor].first < a + n) {
            const Span& span = spans[cursor++];
            // Opened where the render begins to need it: its start, or later after a seek.
            const std::int64_t from = std::max(span.first, a);
            auto reader = std::make_unique<decode::AudioReader>();
            Ticks mediaStart =
                span.source->mediaStart + av_rescale(from - span.first, kTicksPerSecond, rate);
            Status s = reader->open(span.source->path, format_, mediaStart);
            if (!s) {
                queue_.push({{}, s, false});
                return;
            }
            open.push_back({span, std::move(reader)});
        }
        for (auto it = open.begin(); it != open.end();) {
            const std::int64_t from = std::max(a, it->span.first),
                               to = std::min(a + n, it->span.end);
            if (to > from) {
                for (auto& ch : piece) ch.clear();
                Status s = it->reader->read(static_cast<int>(to - from), piece);
                if (!s) {
                    queue_.push({{}, s, false});
                    return;
                }
                for (std::size_t c = 0; c < block.samples.size(); ++c) {
                    float* dst = block.samples[c].data() + (from - a);
                    for (std::int64_t i = 0; i < to - from; ++i)
                        dst[i] += piece[c][static_cast<std::size_t>(i)];
                }
            }
            if (it->span.end <= a + n) {
                if (it->reader->damagedPackets() > 0 && note_)
                    note_("Damaged sound was skipped in " + it->span.source->path + ".");
                it = open.erase(it);
            } else {
                ++it;
            }
        }
        if (!queue_.push({std::move(block), {}, false})) return;
    }
    queue_.push({{}, {}, true});
}

}  // namespace media::render
