// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/smart/copy_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace media::smart {
namespace {

using Interval = std::pair<Ticks, Ticks>;

// [start, stop) less every interval in `covers`.
std::vector<Interval> uncovered(Interval span, std::vector<Interval> covers) {
    std::sort(covers.begin(), covers.end());
    std::vector<Interval> out;
    Ticks from = span.first;
    for (const Interval& c : covers) {
        if (c.second <= from || c.first >= c.second) continue;
        if (c.first >= span.second) break;
        if (c.first > from) out.push_back({from, c.first});
        from = std::max(from, c.second);
    }
    if (from < span.second) out.push_back({from, span.second});
    return out;
}

std::string rateText(double fps) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", fps);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

struct Group {
    std::size_t first, end;  // packets
    std::int64_t firstFrame, endFrame;
    std::vector<std::int64_t> frames;
    int delay = 0;
};

class Planner {
public:
    Planner(const render::GroupPlan& group, const render::FrameTimes& times,
            std::int64_t frameCount)
        : group_(group), times_(times), frameCount_(frameCount) {
        plan_.times = times;
    }

    CopyPlan run(const std::vector<std::shared_ptr<const ClipScan>>& scans) {
        std::map<std::string, std::shared_ptr<const ClipScan>> byPath;
        for (const auto& s : scans) byPath.emplace(s->path, s);
        struct Source {
            const render::SourcePlan* plan;
            std::size_t track;
        };
        std::vector<Source> sources;
        for (std::size_t t = 0; t < group_.tracks.size(); ++t)
            for (const auto& s : group_.tracks[t].sources) sources.push_back({&s, t});
        std::stable_sort(sources.begin(), sources.end(), [](const Source& a, const Source& b) {
            return a.plan->start < b.plan->start;
        });
        for (const Source& source : sources) {
            auto it = byPath.find(source.plan->path);
            const std::size_t before = plan_.stretches.size();
            std::string why = it == byPath.end() ? std::string("a clip cannot be read")
                                                 : planSource(*source.plan, it->second);
            if (plan_.stretches.size() == before && firstWhy_.empty())
                firstWhy_ = why.empty() ? "no clip has whole groups of pictures between its "
                                          "transitions"
                                        : why;
        }
        std::sort(plan_.stretches.begin(), plan_.stretches.end(),
                  [](const CopiedStretch& a, const CopiedStretch& b) {
                      return a.firstFrame < b.firstFrame;
                  });
        if (plan_.stretches.empty()) plan_.whyNone = firstWhy_;
        return std::move(plan_);
    }

private:
    // Copies what it can of one source; the reason when that is nothing.
    std::string planSource(const render::SourcePlan& source,
                           const std::shared_ptr<const ClipScan>& clip) {
        if (!clip->refusal.empty()) return clip->refusal;
        const int w = group_.type.video.width, h = group_.type.video.height;
        if (clip->width != w || clip->height != h)
            return "the clips are " + std::to_string(clip->width) + "x" +
                   std::to_string(clip->height) + ", the output " + std::to_string(w) + "x" +
                   std::to_string(h);
        if (source.mediaStop - source.mediaStart != source.stop - source.start)
            return "the clips play faster or slower than they were made";

        std::vector<Interval> covers;
        for (const auto& track : group_.tracks) {
            for (const auto& s : track.sources)
                if (&s != &source) covers.push_back({s.start, s.stop});
            for (const auto& tr : track.transitions) covers.push_back({tr.start, tr.stop});
        }
        std::vector<Group> groups;
        for (const Interval& window : uncovered({source.start, source.stop}, covers))
            wholeGroups(source, *clip, window, groups);
        if (groups.empty()) {
            if (!onGrid(source, *clip)) {
                const std::string clipRate = rateText(clip->frameRate);
                if (clipRate == rateText(times_.fps()))
                    return "the clips' pictures fall between the output's frames";
                return "the clips are " + clipRate + " fps, the output " + rateText(times_.fps()) +
                       " fps";
            }
            return {};
        }
        if (!takeParameterSets(*clip))
            return "the clips' H.264 parameter sets use the same identifiers differently";
        for (Group& g : groups) {
            plan_.reorderDelay = std::max(plan_.reorderDelay, g.delay);
            CopiedStretch* last = plan_.stretches.empty() ? nullptr : &plan_.stretches.back();
            if (last && last->clip == clip && last->endPacket == g.first &&
                last->endFrame == g.firstFrame) {
                last->endPacket = g.end;
                last->endFrame = g.endFrame;
                last->frames.insert(last->frames.end(), g.frames.begin(), g.frames.end());
            } else {
                plan_.stretches.push_back(
                    {clip, g.first, g.end, g.firstFrame, g.endFrame, std::move(g.frames)});
            }
        }
        return {};
    }

    // The groups of pictures of `clip` that lie wholly inside `window` on the frame grid.
    void wholeGroups(const render::SourcePlan& source, const ClipScan& clip, Interval window,
                     std::vector<Group>& out) const {
        const std::int64_t fromFrame = times_.firstAtOrAfter(window.first);
        const std::int64_t toFrame = std::min(frameCount_, times_.firstAtOrAfter(window.second));
        const std::size_t end = clip.copyableEnd;
        std::size_t i = 0;
        while (i < end && !clip.packets[i].startsGroup) ++i;
        while (i < end) {
            std::size_t next = i + 1;
            while (next < clip.packets.size() && !clip.packets[next].startsGroup) ++next;
            const bool complete = next <= end;
            Group g{i, next, 0, 0, {}, 0};
            bool placed = complete;
            for (std::size_t p = i; placed && p < next; ++p) {
                const std::int64_t k = frameOf(source, clip.packets[p]);
                placed = k >= 0;
                g.frames.push_back(k);
            }
            if (placed) {
                std::vector<std::int64_t> sorted = g.frames;
                std::sort(sorted.begin(), sorted.end());
                g.firstFrame = sorted.front();
                g.endFrame = sorted.back() + 1;
                const bool dense = std::adjacent_find(sorted.begin(), sorted.end()) ==
                                       sorted.end() &&
                                   g.endFrame - g.firstFrame ==
                                       static_cast<std::int64_t>(sorted.size());
                if (dense && g.firstFrame >= fromFrame && g.endFrame <= toFrame) {
                    for (std::size_t j = 0; j < g.frames.size(); ++j)
                        g.delay = std::max<int>(
                            g.delay, static_cast<int>(g.firstFrame + static_cast<std::int64_t>(j) -
                                                      g.frames[j]));
                    out.push_back(std::move(g));
                }
            }
            i = next;
        }
    }

    // The output frame that shows the packet's picture, or -1 when the picture lies off the
    // frame grid by more than a tenth of a frame.
    std::int64_t frameOf(const render::SourcePlan& source, const ScannedPacket& packet) const {
        const Ticks tolerance = times_.interval() / 10;
        const Ticks t = source.start + (packet.time - source.mediaStart);
        const std::int64_t k = times_.firstAtOrAfter(t - tolerance);
        return std::llabs(times_.at(k) - t) <= tolerance ? k : -1;
    }

    // Whether the clip's first pictures fall on the frame grid, as they all do when its
    // frame rate is the output's.
    bool onGrid(const render::SourcePlan& source, const ClipScan& clip) const {
        const std::size_t n = std::min<std::size_t>(clip.copyableEnd, 30);
        for (std::size_t p = 0; p < n; ++p)
            if (frameOf(source, clip.packets[p]) < 0) return false;
        return n > 0;
    }

    // Adds the clip's parameter sets to the track's; false when an identifier is taken by a
    // different set (the clip is then rendered).
    bool takeParameterSets(const ClipScan& clip) {
        auto conflicts = [](const std::vector<Bytes>& have, const std::vector<Bytes>& add,
                            bool sequence) {
            for (const Bytes& a : add)
                for (const Bytes& h : have) {
                    int ia = 0, ih = 0, unused = 0;
                    const NalUnit ua{a.data(), a.size()}, uh{h.data(), h.size()};
                    const bool known = sequence ? sequenceSetId(ua, ia) && sequenceSetId(uh, ih)
                                                : pictureSetIds(ua, ia, unused) &&
                                                      pictureSetIds(uh, ih, unused);
                    if (known && ia == ih && a != h) return true;
                }
            return false;
        };
        if (conflicts(plan_.sequenceSets, clip.sequenceSets, true) ||
            conflicts(plan_.pictureSets, clip.pictureSets, false))
            return false;
        auto merge = [](std::vector<Bytes>& have, const std::vector<Bytes>& add) {
            for (const Bytes& a : add)
                if (std::find(have.begin(), have.end(), a) == have.end()) have.push_back(a);
        };
        std::vector<Bytes> sequence = plan_.sequenceSets, picture = plan_.pictureSets;
        merge(sequence, clip.sequenceSets);
        merge(picture, clip.pictureSets);
        // One identifier is kept free for the encoder's own sets.
        if (sequence.size() > 30 || picture.size() > 254) return false;
        plan_.sequenceSets = std::move(sequence);
        plan_.pictureSets = std::move(picture);
        for (const Bytes& b : plan_.sequenceSets) {
            int id = 0;
            if (sequenceSetId({b.data(), b.size()}, id)) plan_.sequenceIds.insert(id);
        }
        for (const Bytes& b : plan_.pictureSets) {
            int id = 0, unused = 0;
            if (pictureSetIds({b.data(), b.size()}, id, unused)) plan_.pictureIds.insert(id);
        }
        return true;
    }

    const render::GroupPlan& group_;
    const render::FrameTimes& times_;
    std::int64_t frameCount_;
    CopyPlan plan_;
    std::string firstWhy_;
};

}  // namespace

std::int64_t CopyPlan::copiedFrames() const {
    std::int64_t n = 0;
    for (const auto& s : stretches) n += s.endFrame - s.firstFrame;
    return n;
}

std::vector<std::pair<std::int64_t, std::int64_t>> CopyPlan::copiedRanges() const {
    std::vector<std::pair<std::int64_t, std::int64_t>> out;
    for (const auto& s : stretches) {
        if (!out.empty() && out.back().second == s.firstFrame)
            out.back().second = s.endFrame;
        else
            out.push_back({s.firstFrame, s.endFrame});
    }
    return out;
}

CopyPlan planCopies(const render::GroupPlan& group, const render::FrameTimes& times,
                    std::int64_t frameCount,
                    const std::vector<std::shared_ptr<const ClipScan>>& scans) {
    return Planner(group, times, frameCount).run(scans);
}

}  // namespace media::smart
