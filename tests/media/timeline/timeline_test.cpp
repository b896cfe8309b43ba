// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/timeline/timeline.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/media/test_media.h"

using namespace media;

namespace {

std::shared_ptr<Source> source(Timeline& tl, Ticks start, Ticks stop,
                               const std::string& name = "clip.mp4") {
    std::shared_ptr<Source> s;
    EXPECT_TRUE(tl.createSource(s));
    EXPECT_TRUE(s->setStartStop(start, stop));
    EXPECT_TRUE(s->setMediaTimes(0, stop - start));
    EXPECT_TRUE(s->setMediaName(name));
    return s;
}

}  // namespace

TEST(Timeline, TracksInsertedAtMinusOneLieAboveTheEarlierOnes) {
    Timeline tl;
    std::shared_ptr<Group> g;
    ASSERT_TRUE(tl.createGroup(g));
    ASSERT_TRUE(g->setMediaType(GroupMediaType::makeVideo(320, 240)));
    std::shared_ptr<Track> a, b, c;
    tl.createTrack(a);
    tl.createTrack(b);
    tl.createTrack(c);
    ASSERT_TRUE(g->vTrackInsBefore(a, -1));
    ASSERT_TRUE(g->vTrackInsBefore(b, -1));
    ASSERT_TRUE(g->vTrackInsBefore(c, 0));
    EXPECT_EQ(g->tracks(), (std::vector<std::shared_ptr<Track>>{c, a, b}));
    EXPECT_TRUE(g->vTrackInsBefore(a, -1).failed()) << "a track sits in one place only";
    EXPECT_TRUE(g->vTrackInsBefore(nullptr, -1).failed());
    std::shared_ptr<Track> d;
    tl.createTrack(d);
    EXPECT_TRUE(g->vTrackInsBefore(d, 9).failed());
    ASSERT_TRUE(tl.addGroup(g));
    EXPECT_TRUE(tl.addGroup(g).failed());
    EXPECT_EQ(tl.groupCount(), 1);
    std::shared_ptr<Group> got;
    EXPECT_TRUE(tl.getGroup(0, got));
    EXPECT_EQ(got, g);
    EXPECT_TRUE(tl.getGroup(1, got).failed());
    EXPECT_EQ(got, nullptr);
}

TEST(Timeline, BadValuesAreRefusedWithATextAndChangeNothing) {
    Timeline tl;
    std::shared_ptr<Group> g;
    tl.createGroup(g);
    EXPECT_TRUE(tl.addGroup(g).failed()) << "a group needs a media type";
    Status s = g->setMediaType(GroupMediaType::makeVideo(-5, 240));
    EXPECT_TRUE(s.failed());
    EXPECT_FALSE(s.text().empty());
    EXPECT_TRUE(g->setMediaType(GroupMediaType::makeVideo(0, 0)))
        << "0 x 0 takes the first clip's size";
    EXPECT_TRUE(g->setOutputFps(0).failed());
    EXPECT_TRUE(g->setOutputFps(-1).failed());
    EXPECT_TRUE(g->setOutputFps(23.976));
    EXPECT_DOUBLE_EQ(g->outputFps(), 23.976);

    std::shared_ptr<Source> src;
    tl.createSource(src);
    EXPECT_TRUE(src->setStartStop(10, 5).failed());
    EXPECT_TRUE(src->setMediaTimes(5, 1).failed());
    EXPECT_TRUE(src->setMediaName("").failed());
    EXPECT_TRUE(src->setStretchMode(7).failed());
    EXPECT_EQ(src->stretchMode(), StretchMode::Stretch);
    EXPECT_TRUE(src->setStretchMode(2));
    EXPECT_EQ(src->stretchMode(), StretchMode::PreserveAspectRatio);

    std::shared_ptr<Transition> x;
    tl.createTransition(x);
    EXPECT_TRUE(x->setSubObjectGuid("{DE75D012-7A65-11D2-8CEA-00A0C9441E20}"));
    EXPECT_TRUE(x->setSubObjectGuid("DE75D012-7A65-11D2-8CEA-00A0C9441E20").failed());
    EXPECT_TRUE(x->setSubObjectGuid("{DE75D012-7A65-11D2-8CEA-00A0C9441E2Z}").failed());
    EXPECT_EQ(x->subObjectGuid(), "{DE75D012-7A65-11D2-8CEA-00A0C9441E20}");
}

TEST(Timeline, SourcesAndTransitionsOfATrackMayNotOverlap) {
    Timeline tl;
    std::shared_ptr<Track> t;
    tl.createTrack(t);
    ASSERT_TRUE(t->srcAdd(source(tl, 100, 200)));
    EXPECT_TRUE(t->srcAdd(source(tl, 150, 250)).failed());
    ASSERT_TRUE(t->srcAdd(source(tl, 0, 100)));
    ASSERT_EQ(t->sources().size(), 2u);
    EXPECT_EQ(t->sources()[0]->start(), 0) << "kept in time order";
    auto placed = t->sources()[0];
    EXPECT_TRUE(t->srcAdd(placed).failed());
    EXPECT_TRUE(placed->setStartStop(500, 600).failed()) << "times are fixed once on a track";

    std::shared_ptr<Transition> x, y, bare;
    tl.createTransition(x);
    tl.createTransition(y);
    tl.createTransition(bare);
    x->setSubObjectGuid("{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    y->setSubObjectGuid("{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    x->setStartStop(0, 50);
    y->setStartStop(40, 90);
    bare->setStartStop(300, 400);
    EXPECT_TRUE(t->transAdd(x));
    EXPECT_TRUE(t->transAdd(y).failed());
    EXPECT_TRUE(t->transAdd(bare).failed()) << "a transition needs its effect";
}

TEST(Timeline, TheMaskNumberIsReadAtTheStartOfTheEffect) {
    auto props = std::make_shared<PropertySetter>();
    EXPECT_FALSE(props->valueAtStart("MaskNum"));
    ASSERT_TRUE(props->addProp("MaskNum", 301));
    ASSERT_TRUE(props->addProp("MaskNum", 5, 10'000'000));
    EXPECT_TRUE(props->addProp("", 1).failed());
    EXPECT_EQ(props->valueAtStart("MaskNum"), 301);
    EXPECT_FALSE(props->valueAtStart("masknum")) << "names are exact";
    Timeline tl;
    std::shared_ptr<Transition> x;
    tl.createTransition(x);
    ASSERT_TRUE(x->setPropertySetter(props));
    EXPECT_EQ(x->propertySetter()->valueAtStart("MaskNum"), 301);
}

TEST(Timeline, TheLengthIsTheEndOfTheLastObject) {
    Timeline tl;
    EXPECT_EQ(tl.duration(), 0);
    std::shared_ptr<Group> v, a;
    tl.createGroup(v);
    tl.createGroup(a);
    v->setMediaType(GroupMediaType::makeVideo(320, 240));
    a->setMediaType(GroupMediaType::makeAudio());
    std::shared_ptr<Track> tv, ta;
    tl.createTrack(tv);
    tl.createTrack(ta);
    v->vTrackInsBefore(tv, -1);
    a->vTrackInsBefore(ta, -1);
    tv->srcAdd(source(tl, 0, 190));
    ta->srcAdd(source(tl, 0, 200));
    tl.addGroup(v);
    tl.addGroup(a);
    EXPECT_EQ(tl.duration(), 200) << "the sound outlasts the picture";
}

TEST(Timeline, MissingSourcesAreOfferedOnceAndReplacedWhenFound) {
    const std::string dir = testmedia::scratchDir("validate-names");
    const std::string present = dir + "/present.mp4", found = dir + "/found.mp4";
    std::ofstream(present) << "x";
    std::ofstream(found) << "x";
    const std::string lost = dir + "/lost.mp4", refused = dir + "/refused.mp4";

    Timeline tl;
    std::shared_ptr<Group> v, a;
    tl.createGroup(v);
    tl.createGroup(a);
    v->setMediaType(GroupMediaType::makeVideo(320, 240));
    a->setMediaType(GroupMediaType::makeAudio());
    std::vector<std::shared_ptr<Source>> sources;
    int n = 0;
    for (const auto& name : {present, lost, refused}) {
        for (const auto& group : {v, a}) {
            std::shared_ptr<Track> t;
            tl.createTrack(t);
            group->vTrackInsBefore(t, -1);
            sources.push_back(source(tl, n * 10, n * 10 + 10, name));
            t->srcAdd(sources.back());
        }
        ++n;
    }
    tl.addGroup(v);
    tl.addGroup(a);

    std::vector<std::string> asked;
    auto locate = [&](const std::string& missing) -> std::optional<std::string> {
        asked.push_back(missing);
        if (missing == lost) return found;
        return std::nullopt;
    };
    Status s = tl.validateSourceNames(kValidateCheck | kValidatePopup | kValidateReplace, locate);
    EXPECT_TRUE(s);
    EXPECT_EQ(s.code(), 2) << "the refused file, in both groups, is still missing";
    EXPECT_EQ(asked, (std::vector<std::string>{lost, refused}));
    EXPECT_EQ(sources[2]->mediaName(), found);
    EXPECT_EQ(sources[3]->mediaName(), found);
    EXPECT_EQ(sources[4]->mediaName(), refused);

    asked.clear();
    EXPECT_EQ(tl.validateSourceNames(kValidateCheck, locate).code(), 2);
    EXPECT_TRUE(asked.empty()) << "without the popup flag nobody is asked";
}
