// SPDX-License-Identifier: GPL-3.0-or-later
// The first pictures beside the clips' names keep the clips' shape: a 4:3 clip is not
// stretched to the cell, and a portrait clip filmed with the phone turned stands upright.
#include "app/clip_thumbnails.h"

#include <gtest/gtest.h>

#include <QImage>

#include "support/media/test_media.h"
#include "support/qt/run_until.h"

namespace {

// The part of `picture` that is not transparent.
QRect opaqueArea(const QImage& picture) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) > 128) area |= QRect(x, y, 1, 1);
    return area;
}

bool reddish(QRgb c) {
    return qRed(c) > 150 && qBlue(c) < 100;
}
bool bluish(QRgb c) {
    return qBlue(c) > 150 && qRed(c) < 100;
}

QImage thumbnailOf(ClipThumbnails& thumbnails, const QString& path) {
    thumbnails.icon(path);
    EXPECT_TRUE(testqt::runUntil([&] { return !thumbnails.picture(path).isNull(); }, 20000));
    return thumbnails.picture(path);
}

}  // namespace

TEST(ClipThumbnailsTest, PicturesKeepTheClipsAspectAndRotation) {
    const std::string dir = testmedia::scratchDir("thumbnails");
    testmedia::ClipSpec fourByThree;
    fourByThree.width = 320;
    fourByThree.height = 240;
    fourByThree.seconds = 0.5;
    ASSERT_TRUE(testmedia::makeClip(dir + "/4x3.mp4", fourByThree));
    // Stored on its side, red above blue, with a display matrix of a quarter turn: upright it
    // is a portrait picture with red on the left, as FFmpeg's own autorotation shows it.
    // (FFmpeg 5.1 writes the rotation tag when it copies a stream, not when it encodes one.)
    const std::string stored = dir + "/stored.mp4", portrait = dir + "/portrait.mp4";
    const std::string ffmpeg =
        std::string(CLIPFUSE_FFMPEG_CLI) + " -nostdin -hide_banner -loglevel error -y ";
    std::string output;
    ASSERT_EQ(testmedia::run(
                  ffmpeg +
                      "-f lavfi -i 'color=c=red:s=160x46:d=0.5[a];color=c=blue:s=160x46:d=0.5[b];"
                      "[a][b]vstack[out0]' -c:v libx264 -pix_fmt yuv420p " +
                      stored,
                  &output),
              0)
        << output;
    ASSERT_EQ(
        testmedia::run(ffmpeg + "-i " + stored + " -c copy -metadata:s:v:0 rotate=90 " + portrait,
                       &output),
        0)
        << output;

    ClipThumbnails thumbnails;
    const QImage wide = thumbnailOf(thumbnails, QString::fromStdString(dir + "/4x3.mp4"));
    ASSERT_EQ(wide.size(), QSize(ClipThumbnails::kWidth, ClipThumbnails::kHeight));
    EXPECT_EQ(opaqueArea(wide), QRect(6, 0, 36, 27)) << "4:3 in a 16:9 cell, centred";
    EXPECT_TRUE(reddish(wide.pixel(24, 13)));

    const QImage upright = thumbnailOf(thumbnails, QString::fromStdString(portrait));
    const QRect area = opaqueArea(upright);
    EXPECT_EQ(area.height(), 27);
    EXPECT_NEAR(area.width(), 15, 1) << "9:16, standing";
    const int y = area.center().y();
    const QRgb right = upright.pixel(area.right() - area.width() / 4, y);
    const QRgb left = upright.pixel(area.left() + area.width() / 4, y);
    EXPECT_TRUE(reddish(left)) << "the stored top is on the left: " << std::hex << left;
    EXPECT_TRUE(bluish(right)) << std::hex << right;
}
