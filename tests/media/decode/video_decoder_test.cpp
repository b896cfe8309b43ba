// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/video_decoder.h"

#include <gtest/gtest.h>

#include "support/media/test_media.h"

namespace {

// Steps through every frame time of a two-second 30 fps clip: the distinct pictures given.
int picturesGiven(const std::string& path, bool discard) {
    media::decode::VideoDecoder decoder;
    EXPECT_TRUE(decoder.open(path));
    decoder.discardNonReference(discard);
    int pictures = 0;
    std::uint64_t serial = 0;
    for (int k = 0; k < 60; ++k) {
        const media::Ticks t = k * media::kTicksPerSecond / 30 + media::kTicksPerSecond / 300;
        const AVFrame* frame = nullptr;
        EXPECT_TRUE(decoder.frameAt(t, frame));
        if (!frame) continue;
        if (decoder.pictureSerial() != serial) ++pictures;
        serial = decoder.pictureSerial();
    }
    return pictures;
}

}  // namespace

TEST(VideoDecoder, LeavingOutNonReferencePicturesGivesFewer) {
    // Two B-frames between references, none referred to: a reader behind real time passes
    // over them, and is given the reference pictures alone.
    testmedia::ClipSpec recipe;
    recipe.audioCodec.clear();
    recipe.colour = "0x3080c0";
    recipe.extraOutputArgs = "-bf 2 -x264-params b-pyramid=none:b-adapt=0";
    const std::string path = testmedia::scratchDir("decoder_nonref") + "/bframes.mp4";
    ASSERT_TRUE(testmedia::makeClip(path, recipe));
    EXPECT_EQ(picturesGiven(path, false), 60);
    const int references = picturesGiven(path, true);
    EXPECT_GE(references, 18);  // one in three, and the key pictures
    EXPECT_LE(references, 25);
}
