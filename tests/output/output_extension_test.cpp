// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_extension.h"
#include "support/qt/recorders.h"

#include <gtest/gtest.h>

TEST(OutputExtension, EveryFormatGetsItsExtension) {
    const char* expected[] = {".avi", ".wmv", ".mkv", ".asf", ".mp4", ".dsm", ".ogm"};
    for (int code = 0; code < 7; ++code)
        EXPECT_EQ(output::withOutputExtension(code, "/v/video_join.avi"), QString("/v/video_join") + expected[code]);
    EXPECT_FALSE(output::withOutputExtension(7, "/v/a.avi"));
    EXPECT_FALSE(output::withOutputExtension(-1, "/v/a.avi"));
}

TEST(OutputExtension, CutsOnlyWithinTheFileName) {
    EXPECT_EQ(output::withOutputExtension(1, "/home/j.doe/Videos/trip"), "/home/j.doe/Videos/trip.wmv");
    EXPECT_EQ(output::withOutputExtension(1, "/tmp/clip.avi"), "/tmp/clip.wmv");
    EXPECT_EQ(output::withOutputExtension(4, "/home/j.doe/.clip"), "/home/j.doe/.clip.mp4");
    EXPECT_EQ(output::withOutputExtension(1, "/d/clip"), "/d/clip.wmv");
    EXPECT_EQ(output::withOutputExtension(3, "clip.tar.gz"), "clip.tar.asf");
    EXPECT_EQ(output::withOutputExtension(0, ""), ".avi");
}

TEST(OutputExtension, ARefusedCodeSaysSoAndKeepsThePath) {
    testqt::MessageRecorder boxes;
    QString path = "/v/keep.avi";
    EXPECT_FALSE(ApplyOutputExtension(9, path));
    EXPECT_EQ(path, "/v/keep.avi");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, "Does not support the video format");
    EXPECT_EQ(boxes.messages[0].caption, "Error");
    EXPECT_EQ(boxes.messages[0].owner, nullptr);
    EXPECT_TRUE(ApplyOutputExtension(4, path));
    EXPECT_EQ(path, "/v/keep.mp4");
}
