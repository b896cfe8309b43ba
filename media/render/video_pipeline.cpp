// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/video_pipeline.h"

#include <algorithm>
#include <map>

#include "media/core/thread_priority.h"
#include "media/render/compositor.h"
#include "media/render/live_effects.h"

namespace media::render {
namespace {

std::atomic<std::int64_t> pictureHoldMs{0};

void takeTestHold() {
    if (const std::int64_t ms = pictureHoldMs.exchange(0); ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

void holdPicturesForTesting(std::chrono::milliseconds hold) {
    pictureHoldMs = hold.count();
}

VideoPipeline::VideoPipeline(const GroupPlan& group, Ticks length, std::int64_t startFrame,
                             RealTime realTime, Note note, FrameRanges leftOut)
    : group_(group),
      times_(group.fps),
      start_(startFrame),
      count_(times_.countBefore(length)),
      skip_(std::move(realTime.skip)),
      prepare_(std::move(realTime.prepare)),
      note_(std::move(note)),
      leftOut_(std::move(leftOut)) {
    thread_ = std::thread([this] { run(); });
}

VideoPipeline::~VideoPipeline() {
    stop();
}

void VideoPipeline::stop() {
    stopping_ = true;
    queue_.close();
    if (thread_.joinable()) thread_.join();
}

Status VideoPipeline::next(Frame& out, bool& end) {
    end = false;
    auto item = queue_.pop();
    if (!item) return {Status::kAborted, "The render was stopped."};
    if (item->status.failed()) return item->status;
    end = item->end;
    out = std::move(item->frame);
    return Status::ok();
}

void VideoPipeline::run() {
    // Threads started from here (the source readers, their decoders' own) inherit it.
    if (skip_) lowerThisThreadPriority();
    const int width = group_.type.video.width, height = group_.type.video.height;
    const Frame black(width, height);
    // Sources in the order they begin; a reader is started a little ahead of its first
    // frame so that its decoder is warm when the frame is due.
    std::vector<Pending> pending;
    for (std::size_t t = 0; t < group_.tracks.size(); ++t)
        for (std::size_t s = 0; s < group_.tracks[t].sources.size(); ++s) {
            const SourcePlan& src = group_.tracks[t].sources[s];
            std::int64_t first = times_.firstAtOrAfter(src.start),
                         end = std::min(count_, times_.firstAtOrAfter(src.stop));
            // A span broken by frames left out is read as separate pieces, each from its
            // own start, so that nothing is decoded for the frames in between.
            for (const auto& [outFirst, outEnd] : leftOut_) {
                if (outEnd <= first || outFirst >= end) continue;
                if (outFirst > std::max(first, start_)) pending.push_back({first, outFirst, t, s});
                first = outEnd;
            }
            if (end > std::max(first, start_)) pending.push_back({first, end, t, s});
        }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const Pending& a, const Pending& b) { return a.first < b.first; });
    std::vector<std::size_t> tracksWithTransitions;
    for (std::size_t t = 0; t < group_.tracks.size(); ++t)
        if (!group_.tracks[t].transitions.empty()) tracksWithTransitions.push_back(t);
    LiveEffects effects(group_, width, height);

    const std::int64_t lookahead =
        std::max<std::int64_t>(2, static_cast<std::int64_t>(group_.fps / 2));
    std::size_t cursor = 0;
    std::map<std::size_t, std::unique_ptr<VideoSourceReader>>
        readers;  // by track; one source per track at a time
    std::vector<Layer> layers(group_.tracks.size());
    std::vector<Frame> pictures(group_.tracks.size());

    auto finish = [&](Item item) { queue_.push(std::move(item)); };
    std::size_t nextLeftOut = 0;
    for (std::int64_t k = start_; k < count_; ++k) {
        if (stopping_) return;
        while (nextLeftOut < leftOut_.size() && leftOut_[nextLeftOut].second <= k) ++nextLeftOut;
        if (nextLeftOut < leftOut_.size() && leftOut_[nextLeftOut].first <= k) {
            k = leftOut_[nextLeftOut].second - 1;
            continue;
        }
        while (cursor < pending.size() && pending[cursor].first <= k + lookahead) {
            const Pending& p = pending[cursor++];
            if (readers.count(p.track)) {
                // The track's previous source still runs; sources on a track never
                // overlap, so this one is taken up when that one ends.
                --cursor;
                break;
            }
            readers[p.track] = std::make_unique<VideoSourceReader>(
                group_.tracks[p.track].sources[p.source], times_, width, height,
                std::max(p.first, start_), p.end, skip_, stopping_);
        }
        const Ticks t = times_.at(k);
        for (auto& [track, reader] : readers) {
            if (reader->first() > k) continue;
            Status s = reader->picture(k, pictures[track]);
            if (!s) return finish({{}, s, false});
            layers[track].picture = pictures[track].empty() ? nullptr : &pictures[track];
        }
        effects.update(t, times_.at(k + lookahead));
        for (std::size_t track : tracksWithTransitions) {
            layers[track].progress = 0.0;
            layers[track].transition = effects.at(track, t, layers[track].progress);
        }
        takeTestHold();
        if (!skip_ || !skip_(k)) {
            Frame out = composite(layers, black);
            out.pts = t;
            if (prepare_) prepare_(out);
            if (!queue_.push({out, {}, false})) return;
        }
        for (auto it = readers.begin(); it != readers.end();) {
            if (it->second->end() <= k + 1) {
                layers[it->first].picture = nullptr;
                pictures[it->first] = Frame();
                if (int damaged = it->second->damagedPackets(); damaged > 0 && note_)
                    note_("Damaged pictures were skipped in " + it->second->source().path + ".");
                it = readers.erase(it);
            } else {
                ++it;
            }
        }
    }
    finish({{}, {}, true});
}

}  // namespace media::render
