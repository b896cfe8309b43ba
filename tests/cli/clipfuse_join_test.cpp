// SPDX-License-Identifier: GPL-3.0-or-later
// clipfuse-join run as a user runs it: its own process, settings in a folder of the test's,
// clips made at test time, the written file read back with libavformat.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "app/settings_names.h"
#include "app/settings_store.h"
#include "output/output_extension.h"
#include "support/media/test_media.h"
#include "support/media/written_file.h"
#include "clipfuse_join_fixture.h"

namespace {

struct Clips {
    std::string red, blue;
};

// A red clip with a 440 Hz tone and a blue one with 2500 Hz, two seconds each.
const Clips& clips() {
    static const Clips made = [] {
        const std::string dir = testmedia::scratchDir("cli_clips");
        Clips c{dir + "/red.mp4", dir + "/blue.mp4"};
        testmedia::ClipSpec recipe;
        recipe.frameRate = "25";
        recipe.colour = "red";
        if (!testmedia::makeClip(c.red, recipe)) c.red.clear();
        recipe.colour = "blue";
        recipe.toneHz = 2500;
        if (!testmedia::makeClip(c.blue, recipe)) c.blue.clear();
        return c;
    }();
    return made;
}

class ClipfuseJoin : public JoinProgram {
protected:
    void SetUp() override {
        ASSERT_FALSE(clips().red.empty() || clips().blue.empty()) << "test clips could not be made";
        JoinProgram::SetUp();
    }
};


TEST_F(ClipfuseJoin, JoinsTheClipsInOrderWithTheOverridesAndReportsProgressAndDone) {
    const std::string out = path("joined.mkv");
    const Ran r = run(small() + QStringList{"--video-codec", "mpeg4", "--audio-codec", "aac",
                                            "--video-bitrate", "300000", q(out), q(clips().red), q(clips().blue)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Done. ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(q(out)));
    EXPECT_TRUE(r.err.contains(QRegularExpression("Please wait\\.\\.\\. Used Time: \\d\\d:\\d\\d:\\d\\d +\\d+%")) ||
                r.err.isEmpty())
        << r.err.toStdString();
    // The media library's own lines ("[aac @ 0x...] Qavg: ...") only when asked for.
    EXPECT_FALSE(r.err.contains(" @ 0x")) << r.err.toStdString();
    const Ran verbose = run(small() + QStringList{"--verbose", "-q", "--video-codec", "mpeg4", "--audio-codec",
                                                  "aac", q(path("verbose.mkv")), q(clips().red)});
    ASSERT_EQ(verbose.exitCode, 0) << verbose.err.toStdString();
    EXPECT_TRUE(verbose.err.contains("[aac @ 0x")) << verbose.err.toStdString();

    writertest::ReadBack back;
    // The first clip fades in too: Same mode gives every clip the transition.
    back.colourTimes = {1.2, 3.5};
    back.keepSound = true;
    std::string error;
    ASSERT_TRUE(writertest::readBack(out, back, &error)) << error;
    EXPECT_EQ(back.container, "matroska,webm");
    EXPECT_EQ(back.videoCodec, "mpeg4");
    EXPECT_EQ(back.audioCodec, "aac");
    EXPECT_EQ(back.width, 160);
    EXPECT_EQ(back.height, 120);
    EXPECT_NEAR(back.frameRate, 10.0, 0.01);
    EXPECT_NEAR(back.durationSeconds, 4.0, 0.2);
    ASSERT_EQ(back.colours.size(), 2u);
    EXPECT_TRUE(writertest::nearColour(back.colours[0], {255, 0, 0}, 60));
    EXPECT_TRUE(writertest::nearColour(back.colours[1], {0, 0, 255}, 60));
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}

TEST_F(ClipfuseJoin, UsesTheStoredSettingsWhereNoOptionOverridesThem) {
    SettingsStore s = store();
    ASSERT_TRUE(s.writeInt(settings::kSettings, settings::kOutputFormat, output::kAsf));
    ASSERT_TRUE(s.writeInt(settings::kSettings, settings::kOutputWidth, 176));
    ASSERT_TRUE(s.writeInt(settings::kSettings, settings::kOutputHeight, 144));
    // An extension that names no format leaves the stored one in charge.
    const std::string out = path("joined.video");
    const Ran r = run({"--fps", "10", "-q", q(out), q(clips().red)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("Used Time")) << "quiet prints no progress";

    writertest::ReadBack back;
    ASSERT_TRUE(writertest::readBack(out, back));
    EXPECT_EQ(back.container, "asf");
    EXPECT_EQ(back.width, 176);
    EXPECT_EQ(back.height, 144);
}

TEST_F(ClipfuseJoin, OriginalSizeAndRateAreTheFirstClipsAndReencodeAllCopiesNothing) {
    // The first clip sets size and rate (NTSC's 30000/1001, as phones write it); the second
    // is fitted into them.
    testmedia::ClipSpec recipe;
    recipe.width = 176;
    recipe.height = 144;
    recipe.frameRate = "30000/1001";
    const std::string first = path("first.mp4");
    ASSERT_TRUE(testmedia::makeClip(first, recipe));

    const std::string out = path("original.mp4");
    const Ran r = run({"--size", "original", "--fps", "original", "--video-codec", "libx264",
                       "--reencode-all", "--effect", "Fade", "--transition-seconds", "1", q(out),
                       q(first), q(clips().blue)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Done. ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Resolution: Original size")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("copied")) << r.out.toStdString();

    writertest::ReadBack back;
    ASSERT_TRUE(writertest::readBack(out, back));
    EXPECT_EQ(back.width, 176);
    EXPECT_EQ(back.height, 144);
    EXPECT_NEAR(back.frameRate, 30000.0 / 1001.0, 0.001);
    EXPECT_NEAR(back.durationSeconds, 4.0, 0.2);
}

TEST_F(ClipfuseJoin, AnExistingOutputIsReplacedOnlyWhenToldAndBitratesHoldForTheJoin) {
    const std::string out = path("kept.avi");
    { std::ofstream(out) << "the user's file"; }
    Ran r = run(small() + QStringList{q(out), q(clips().red)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("exists. Do you want to replace it?")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("--replace"));
    EXPECT_EQ(std::filesystem::file_size(out), std::string("the user's file").size());

    // The bitrate is this join's alone: the codec's kept configuration is not touched.
    r = run(small() + QStringList{"--replace", "--audio-codec", "aac", "--audio-bitrate", "96000", q(out),
                                  q(clips().red)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    writertest::ReadBack back;
    EXPECT_TRUE(writertest::readBack(out, back));
    EXPECT_EQ(back.container, "avi");
    EXPECT_EQ(back.audioCodec, "aac");
    EXPECT_EQ(back.audioBitrate, 96000);
}

TEST_F(ClipfuseJoin, FailuresEndWithoutWritingAnythingAndSayWhy) {
    const std::string out = path("never.mkv");
    struct Case {
        QStringList args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{q(out), q(path("missing.mp4"))}, 1, "missing.mp4 could not be added"},
        {{q(out), q(clips().red), q(out)}, 1, "could not be added"},
        {{"--video-codec", "nosuchcodec", q(out), q(clips().red)}, 2, "No video compressor is called \"nosuchcodec\""},
        {{"--size", "big", q(out), q(clips().red)}, 2, "Invalid value for --size"},
        {{q(clips().red), q(clips().red)}, 1, "is one of the video files in the list"},
        {{q(path("no/such/folder/out.avi")), q(clips().red)}, 1, "the folder does not exist"},
    };
    for (const Case& c : cases) {
        const Ran r = run(small() + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("Done."));
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}

TEST_F(ClipfuseJoin, InterruptingStopsTheJoinAndKeepsAPlayableShorterFile) {
    const std::string out = path("stopped.mkv");
    QStringList args = {"--size", "320x240", "--fps", "25", "--transition-seconds", "0", "--video-codec", "mpeg4",
                        "--audio-codec", "aac", q(out)};
    for (int i = 0; i < 60; ++i) args << q(i % 2 ? clips().blue : clips().red);
    QProcess p;
    start(p, args);
    const QByteArray err = interruptOnceWriting(p);
    ASSERT_FALSE(err.isEmpty());
    EXPECT_EQ(p.exitCode(), 130) << err.toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("Done. "));

    writertest::ReadBack back;
    std::string error;
    ASSERT_TRUE(writertest::readBack(out, back, &error)) << error;
    EXPECT_GT(back.framesDecoded, 0);
    EXPECT_LT(back.durationSeconds, 100.0);
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}

// True once the process `pid` has a handler of its own for SIGINT.
bool catchesInterrupt(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1;
    return false;
}

TEST_F(ClipfuseJoin, InterruptedBeforeTheFirstPictureLeavesTheOlderFileAsItWas) {
    const std::string out = path("older.mkv");
    std::filesystem::copy_file(clips().blue, out);
    const auto older = std::filesystem::file_size(out);
    QStringList args = small() + QStringList{"--replace", q(out)};
    for (int i = 0; i < 400; ++i) args << q(i % 2 ? clips().blue : clips().red);
    QProcess p;
    start(p, args);
    // Ctrl+C as soon as the program listens for it: its first picture waits for 400 clips
    // to be measured first.
    while (!catchesInterrupt(p.processId()) && p.state() == QProcess::Running) p.waitForFinished(1);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 130) << err.toStdString();
    EXPECT_TRUE(err.contains("The join was stopped before anything was written; " + q(out) +
                             " was left as it was."))
        << err.toStdString();
    EXPECT_FALSE(p.readAllStandardOutput().contains("Done."));
    EXPECT_EQ(std::filesystem::file_size(out), older);
    writertest::ReadBack back;
    ASSERT_TRUE(writertest::readBack(out, back));
    EXPECT_TRUE(writertest::nearColour(back.topColour, {0, 0, 255}, 60))
        << "still the older, blue film";
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}

}  // namespace
