// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of clipfuse-join: what it takes, what it refuses and why.
#include <gtest/gtest.h>

#include "cli/join_arguments.h"
#include "output/output_extension.h"

namespace {

cli::ParsedArguments parse(QStringList args) {
    args.prepend(QStringLiteral("clipfuse-join"));
    return cli::parseJoinArguments(args);
}

TEST(JoinArguments, OutputThenClipsInOrderWithTheFormatFromTheExtensionUnlessGiven) {
    auto p = parse({"out.mkv", "b.mp4", "a.mp4", "c.avi"});
    ASSERT_TRUE(p.request) << p.text.toStdString();
    EXPECT_EQ(p.request->output, "out.mkv");
    EXPECT_EQ(p.request->clips, QStringList({"b.mp4", "a.mp4", "c.avi"}));
    EXPECT_EQ(p.request->format, output::kMkv);
    EXPECT_FALSE(p.request->replace);

    p = parse({"--format", "wmv", "out.mkv", "a.mp4"});
    ASSERT_TRUE(p.request);
    EXPECT_EQ(p.request->format, output::kWmv);

    // An extension the program does not write leaves the stored format in charge.
    p = parse({"out.video", "a.mp4"});
    ASSERT_TRUE(p.request);
    EXPECT_FALSE(p.request->format);
    EXPECT_EQ(cli::formatCode("OGG"), output::kOgm);
    EXPECT_EQ(cli::formatCode(".dsm"), output::kDsm);
}

TEST(JoinArguments, OverridesAreReadWithTheirUnits) {
    auto p = parse({"--size", "720X480", "--fps", "29.97", "--resize", "stretch", "--transition-seconds", "2",
                    "--video-codec", "mpeg4", "--audio-codec", "none", "--video-bitrate", "780000",
                    "--audio-bitrate", "128000", "-y", "-q", "o.avi", "a.mp4"});
    ASSERT_TRUE(p.request) << p.text.toStdString();
    const cli::JoinRequest& r = *p.request;
    EXPECT_EQ(r.width, 720);
    EXPECT_EQ(r.height, 480);
    EXPECT_DOUBLE_EQ(*r.frameRate, 29.97);
    EXPECT_EQ(r.resizeMode, 0);
    EXPECT_EQ(r.transitionSeconds, 2);
    EXPECT_EQ(r.videoCodec, QStringLiteral("mpeg4"));
    EXPECT_EQ(r.audioCodec, QStringLiteral("none"));
    EXPECT_EQ(r.videoBitrate, 780000);
    EXPECT_EQ(r.audioBitrate, 128000);
    EXPECT_TRUE(r.replace);
    EXPECT_TRUE(r.quiet);

    EXPECT_FALSE(r.originalFrameRate);
    EXPECT_FALSE(r.reencodeAll) << "copying is the stored choice unless told";

    p = parse({"--size", "original", "--fps", "Original", "--reencode-all", "o.avi", "a.mp4"});
    ASSERT_TRUE(p.request);
    EXPECT_EQ(p.request->width, 0);
    EXPECT_EQ(p.request->height, 0);
    EXPECT_TRUE(p.request->originalFrameRate);
    EXPECT_FALSE(p.request->frameRate);
    EXPECT_TRUE(p.request->reencodeAll);
}

TEST(JoinArguments, AnEffectByNumberOrNameGivesEveryClipTheSameTransition) {
    auto p = parse({"--effect", "3", "o.avi", "a.mp4"});
    ASSERT_TRUE(p.request);
    EXPECT_EQ(p.request->effect, 3);
    EXPECT_EQ(p.request->transitionMode, TransitionMode::Same);

    p = parse({"--effect", "none", "o.avi", "a.mp4"});
    ASSERT_TRUE(p.request) << p.text.toStdString();
    EXPECT_EQ(p.request->effect, 0);

    p = parse({"--transition-mode", "sequence", "o.avi", "a.mp4"});
    ASSERT_TRUE(p.request);
    EXPECT_EQ(p.request->transitionMode, TransitionMode::Sequence);

    p = parse({"--transition-mode", "random", "--effect", "3", "o.avi", "a.mp4"});
    EXPECT_FALSE(p.request);
    EXPECT_TRUE(p.text.contains("--transition-mode random")) << p.text.toStdString();
}

TEST(JoinArguments, UnusableCommandLinesSayWhatIsWrong) {
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{"o.avi"}, "at least one clip"},
        {{}, "at least one clip"},
        {{"--size", "720", "o.avi", "a.mp4"}, "--size: \"720\""},
        {{"--size", "0x480", "o.avi", "a.mp4"}, "--size"},
        {{"--fps", "0", "o.avi", "a.mp4"}, "--fps"},
        {{"--fps", "fast", "o.avi", "a.mp4"}, "--fps"},
        {{"--format", "mov", "o.avi", "a.mp4"}, "--format: \"mov\""},
        {{"--effect", "47", "o.avi", "a.mp4"}, "--effect"},
        {{"--transition-seconds", "601", "o.avi", "a.mp4"}, "--transition-seconds"},
        {{"--resize", "crop", "o.avi", "a.mp4"}, "--resize"},
        {{"--audio-bitrate", "-5", "o.avi", "a.mp4"}, "--audio-bitrate"},
        {{"--colour", "red", "o.avi", "a.mp4"}, "colour"},
    };
    for (const Case& c : cases) {
        const auto p = parse(c.args);
        EXPECT_FALSE(p.request) << c.args.join(' ').toStdString();
        EXPECT_FALSE(p.helpWanted);
        EXPECT_TRUE(p.text.contains(QString::fromUtf8(c.says))) << p.text.toStdString();
    }
}

TEST(JoinArguments, HelpListsEveryOverride) {
    const auto p = parse({"--help"});
    EXPECT_TRUE(p.helpWanted);
    EXPECT_FALSE(p.request);
    for (const char* option :
         {"--format", "--size", "--fps", "--resize", "--transition-mode", "--effect",
          "--transition-seconds", "--video-codec", "--audio-codec", "--video-bitrate",
          "--audio-bitrate", "--replace", "--reencode-all", "OUTPUT", "CLIP"})
        EXPECT_TRUE(p.text.contains(QString::fromUtf8(option))) << option;
}

}  // namespace
