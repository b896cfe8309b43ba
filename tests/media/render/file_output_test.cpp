// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/file_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "clips.h"
#include "render_harness.h"
#include "support/media/written_file.h"

using namespace rendertest;
using namespace media;
using namespace media::render;

namespace {

struct Join {
    std::shared_ptr<Timeline> timeline;
    RenderEngine engine;
    std::unique_ptr<FileOutput> output;
};

Status connect(Join& job, const std::string& path, int formatCode) {
    if (Status s = job.engine.setTimelineObject(job.timeline); !s) return s;
    if (Status s = job.engine.connectFrontEnd(); !s) return s;
    WriterSettings settings;
    settings.path = path;
    settings.formatCode = formatCode;
    return FileOutput::connect(job.engine, std::move(settings), nullptr, job.output);
}

EngineEvent waitForEnd(RenderEngine& engine) {
    EngineEvent e;
    while (engine.getEvent(e, 30000))
        if (e.code != kEventStreamErrorStillPlaying) return e;
    return {};
}

std::string outputIn(const std::string& name) {
    static const auto dir = std::filesystem::path(testmedia::scratchDir("file_output"));
    return (dir / name).string();
}

std::shared_ptr<Timeline> redThenBlue(double seconds) {
    auto red = solidClip("red.mp4", "red", 440), blue = solidClip("blue.mp4", "blue", 1000);
    return makeTimeline(160, 120, 10, {{red, 0, sec(seconds)}, {blue, sec(seconds), sec(2 * seconds)}},
                        {{red, 0, sec(seconds)}, {blue, sec(seconds), sec(2 * seconds)}});
}

}  // namespace

TEST(FileOutput, WritesTheWholeTimelineAndFinishesTheFileOnCompletion) {
    Join job;
    job.timeline = redThenBlue(1.0);
    const std::string path = outputIn("whole.mkv");
    std::filesystem::remove(path);
    ASSERT_TRUE(connect(job, path, 2));
    EXPECT_EQ(job.output->settings().video->width, 160);
    ASSERT_TRUE(job.output->settings().audio.has_value());

    ASSERT_TRUE(job.output->run());
    EngineEvent end = waitForEnd(job.engine);
    EXPECT_EQ(end.code, kEventComplete) << end.status.text();
    ASSERT_TRUE(job.output->stop());

    writertest::ReadBack back;
    std::string error;
    ASSERT_TRUE(writertest::readBack(path, back, &error)) << error;
    EXPECT_EQ(back.container, "matroska,webm");
    EXPECT_EQ(back.framesDecoded, 20);
    EXPECT_NEAR(back.durationSeconds, 2.0, 0.11);
    EXPECT_TRUE(writertest::nearColour(back.topColour, {255, 0, 0}, 40));
    EXPECT_NEAR(static_cast<double>(back.audioSamples) / 44100.0, 2.0, 0.1);
    EXPECT_EQ(writertest::partialFilesIn(std::filesystem::path(path).parent_path().string()), 0);
}

TEST(FileOutput, StoppedByHandKeepsAPlayableFileOfWhatWasWritten) {
    Join job;
    job.timeline = redThenBlue(30.0);
    const std::string path = outputIn("stopped.avi");
    std::filesystem::remove(path);
    ASSERT_TRUE(connect(job, path, 0));
    ASSERT_TRUE(job.output->run());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int i = 0; i < 2000 && job.output->picturesWritten() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(job.output->stop());

    writertest::ReadBack back;
    std::string error;
    ASSERT_TRUE(writertest::readBack(path, back, &error)) << error;
    EXPECT_GT(back.framesDecoded, 0);
    EXPECT_LE(back.framesDecoded, 600);
    EXPECT_EQ(writertest::partialFilesIn(std::filesystem::path(path).parent_path().string()), 0);
}

TEST(FileOutput, AFolderThatTakesNoFilesFailsTheRunAndLeavesNothing) {
    Join job;
    job.timeline = redThenBlue(1.0);
    const std::string path = outputIn("no-such-folder/out.mkv");
    ASSERT_TRUE(connect(job, path, 2));
    Status s = job.output->run();
    EXPECT_FALSE(s);
    EXPECT_FALSE(s.text().empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FileOutput, AnAbandonedRunRemovesItsTemporaryFileAndTouchesNoOldFile) {
    const std::string path = outputIn("abandoned.mkv");
    { std::ofstream(path) << "the user's old file"; }
    Join job;
    job.timeline = redThenBlue(30.0);
    ASSERT_TRUE(connect(job, path, 2));
    ASSERT_TRUE(job.output->run());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    job.output->abandon();
    EXPECT_EQ(writertest::partialFilesIn(std::filesystem::path(path).parent_path().string()), 0);
    std::ifstream in(path);
    std::string old;
    std::getline(in, old);
    EXPECT_EQ(old, "the user's old file");
}
