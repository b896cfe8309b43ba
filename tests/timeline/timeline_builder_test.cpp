// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/qt/recorders.h"
#include "timeline/output_frame_rate.h"
#include "timeline/timeline_builder.h"

namespace {

constexpr media::Ticks s(double seconds) { return static_cast<media::Ticks>(seconds * 10'000'000); }

struct Built {
    std::shared_ptr<media::Timeline> tl;
    std::vector<QString> messages;
};

Built build(const std::vector<std::pair<double, std::pair<int, double>>>& clips) {
    static ClipList list;  // large fixed arrays: keep off the stack
    list.clear();
    for (const auto& c : clips) list.append("/nonexistent/clip.avi", s(c.first), c.second.first, s(c.second.second));
    list.rebuildAudioSources();
    OutputOptions options;
    testqt::MessageRecorder recorder;
    timeline::TimelineBuilder builder(nullptr, list, options, [](const std::string&) { return std::nullopt; });
    EXPECT_TRUE(builder.BuildTimeline().isOk());
    Built out{builder.current(), {}};
    for (const auto& m : recorder.messages) out.messages.push_back(m.text);
    return out;
}

const media::Track& videoTrack(const Built& b, int i) { return *b.tl->groups()[0]->tracks()[static_cast<std::size_t>(i)]; }

}  // namespace

struct Span {
    double start, stop;
};

// One project: clip durations and transition durations in seconds (every clip a Fade), with
// where its pictures, transitions and sound must lie and which clips are told their
// transition is too long.
struct PlacementCase {
    std::vector<double> durations, transitions;
    std::vector<Span> video;
    std::vector<std::optional<Span>> transitionSpans;
    std::vector<Span> sound;
    std::vector<int> tooLong;
};

void expectSpan(const media::TimelineObject& o, Span want, const std::string& what) {
    EXPECT_EQ(o.start(), s(want.start)) << what;
    EXPECT_EQ(o.stop(), s(want.stop)) << what;
}

TEST(TimelineBuilder, EachClipsPictureStartsWithItsSoundAndRunsOnUnderTheNextTransition) {
    const std::vector<PlacementCase> cases = {
        {{10, 10, 10}, {1, 1, 1}, {{0, 11}, {10, 21}, {20, 30}}, {Span{0, 1}, Span{10, 11}, Span{20, 21}},
         {{0, 10}, {10, 20}, {20, 30}}, {}},
        {{10, 10, 10}, {2, 2, 2}, {{0, 12}, {10, 22}, {20, 30}}, {Span{0, 2}, Span{10, 12}, Span{20, 22}},
         {{0, 10}, {10, 20}, {20, 30}}, {}},
        {{10, 10, 10}, {3, 2, 2}, {{0, 12}, {10, 22}, {20, 30}}, {Span{0, 3}, Span{10, 12}, Span{20, 22}},
         {{0, 10}, {10, 20}, {20, 30}}, {}},
        {{10, 10}, {2, 4}, {{0, 14}, {10, 20}}, {Span{0, 2}, Span{10, 14}}, {{0, 10}, {10, 20}}, {}},
        {{10, 10}, {2, 0}, {{0, 10}, {10, 20}}, {Span{0, 2}, std::nullopt}, {{0, 10}, {10, 20}}, {}},
        {{1, 10}, {4, 4}, {{0, 5}, {1, 11}}, {Span{0, 4}, Span{1, 5}}, {{0, 1}, {1, 11}}, {}},
        {{10, 1}, {2, 4}, {{0, 11}, {10, 11}}, {Span{0, 2}, std::nullopt}, {{0, 10}, {10, 11}}, {1}},
        {{10, 1, 10}, {2, 4, 0}, {{0, 14}, {10, 11}, {11, 21}}, {Span{0, 2}, std::nullopt, std::nullopt},
         {{0, 10}, {10, 11}, {11, 21}}, {1}},
        {{4, 4, 4}, {10, 10, 10}, {{0, 12}, {4, 12}, {8, 12}}, {Span{0, 10}, std::nullopt, std::nullopt},
         {{0, 4}, {4, 8}, {8, 12}}, {1, 2}},
        {{10}, {2}, {{0, 10}}, {Span{0, 2}}, {{0, 10}}, {}},
    };
    for (const PlacementCase& c : cases) {
        std::vector<std::pair<double, std::pair<int, double>>> clips;
        for (std::size_t i = 0; i < c.durations.size(); ++i) clips.push_back({c.durations[i], {3, c.transitions[i]}});
        const Built b = build(clips);
        std::string project;
        for (std::size_t i = 0; i < c.durations.size(); ++i)
            project += std::to_string(int(c.durations[i])) + "s/T" + std::to_string(int(c.transitions[i])) + " ";
        SCOPED_TRACE(project);
        for (std::size_t i = 0; i < c.video.size(); ++i) {
            const media::Track& track = videoTrack(b, static_cast<int>(i));
            ASSERT_EQ(track.sources().size(), 1u);
            const media::Source& src = *track.sources()[0];
            expectSpan(src, c.video[i], "video " + std::to_string(i));
            // The file plays from its start at normal rate.
            EXPECT_EQ(src.mediaStart(), 0);
            EXPECT_EQ(src.mediaStop(), src.stop() - src.start());
            if (c.transitionSpans[i]) {
                ASSERT_EQ(track.transitions().size(), 1u) << i;
                expectSpan(*track.transitions()[0], *c.transitionSpans[i], "transition " + std::to_string(i));
            } else {
                EXPECT_TRUE(track.transitions().empty()) << i;
            }
        }
        const auto& soundTracks = b.tl->groups()[1]->tracks();
        ASSERT_EQ(soundTracks.size(), c.sound.size());
        for (std::size_t j = 0; j < c.sound.size(); ++j)
            expectSpan(*soundTracks[j]->sources().at(0), c.sound[j], "sound " + std::to_string(j));
        EXPECT_EQ(b.messages.size(), c.tooLong.size());
        for (const QString& m : b.messages) EXPECT_EQ(m, QStringLiteral("Transition time should be less than"));
    }
}

TEST(TimelineBuilder, EffectClassesAndWipePatterns) {
    Built b = build({{10, {3, 1}}, {10, {17, 1}}, {10, {46, 1}}, {10, {0, 1}}});
    const auto& fade = *videoTrack(b, 0).transitions().at(0);
    EXPECT_EQ(fade.subObjectGuid(), "{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    EXPECT_EQ(fade.propertySetter(), nullptr);
    const auto& horizontal = *videoTrack(b, 1).transitions().at(0);
    ASSERT_NE(horizontal.propertySetter(), nullptr);
    EXPECT_EQ(horizontal.propertySetter()->valueAtStart("MaskNum"), 1);
    EXPECT_EQ(videoTrack(b, 2).transitions().at(0)->propertySetter()->valueAtStart("MaskNum"), 301);
    EXPECT_TRUE(videoTrack(b, 3).transitions().empty());
}

TEST(OutputFrameRate, AMeasuredAverageNearACommonRateIsThatRate) {
    using timeline::commonFrameRate;
    EXPECT_DOUBLE_EQ(commonFrameRate(30.0), 30.0);
    EXPECT_DOUBLE_EQ(commonFrameRate(29.97), 30000.0 / 1001.0) << "not 30";
    EXPECT_DOUBLE_EQ(commonFrameRate(29.995), 30.0);
    EXPECT_DOUBLE_EQ(commonFrameRate(23.976), 24000.0 / 1001.0);
    EXPECT_DOUBLE_EQ(commonFrameRate(29.93), 29.93) << "neither: kept as measured";
    EXPECT_DOUBLE_EQ(commonFrameRate(12.5), 12.5);
}
