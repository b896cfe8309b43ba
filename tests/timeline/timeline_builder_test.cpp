#include <gtest/gtest.h>

#include "support/qt/recorders.h"
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

TEST(TimelineBuilder, ThreeClipsOverlapByTheirTransitionsAndSoundLiesEndToEnd) {
    Built b = build({{10, {3, 2}}, {10, {3, 2}}, {10, {3, 2}}});
    ASSERT_EQ(b.tl->groupCount(), 2);
    const media::Ticks starts[] = {0, s(9), s(19)}, stops[] = {s(11), s(21), s(30)};
    for (int i = 0; i < 3; ++i) {
        const auto& src = *videoTrack(b, i).sources().at(0);
        EXPECT_EQ(src.start(), starts[i]);
        EXPECT_EQ(src.stop(), stops[i]);
        EXPECT_EQ(src.mediaStop() - src.mediaStart(), stops[i] - starts[i]);
        ASSERT_EQ(videoTrack(b, i).transitions().size(), 1u);
        EXPECT_EQ(videoTrack(b, i).transitions()[0]->start(), starts[i]);
        EXPECT_EQ(videoTrack(b, i).transitions()[0]->stop(), starts[i] + s(2));
        const auto& audio = *b.tl->groups()[1]->tracks().at(static_cast<std::size_t>(i))->sources().at(0);
        EXPECT_EQ(audio.start(), s(10 * i));
        EXPECT_EQ(audio.stop(), s(10 * i + 10));
    }
}

TEST(TimelineBuilder, ClipShorterThanItsTransitionGetsNoneAndTheUserIsTold) {
    Built b = build({{1, {3, 4}}, {10, {3, 4}}});
    EXPECT_TRUE(videoTrack(b, 0).transitions().empty());
    ASSERT_EQ(videoTrack(b, 1).transitions().size(), 1u);
    EXPECT_EQ(videoTrack(b, 1).sources()[0]->start(), 0);
    EXPECT_EQ(videoTrack(b, 1).sources()[0]->stop(), s(11));
    ASSERT_EQ(b.messages.size(), 1u);
    EXPECT_EQ(b.messages[0], QStringLiteral("Transition time should be less than"));
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
