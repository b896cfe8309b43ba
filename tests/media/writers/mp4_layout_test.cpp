// SPDX-License-Identifier: GPL-3.0-or-later
// The MP4 writer's options change the file's layout for real: read its top-level boxes.
#include "media/writers/mp4_options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/media/test_media.h"
#include "support/media/written_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

using namespace writertest;
namespace fs = std::filesystem;

namespace {

std::uint64_t bigEndian(const unsigned char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

// The types of the file's top-level boxes in order; empty when the layout is broken.
std::vector<std::string> topLevelBoxes(const std::string& path) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    if (ec) return {};
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> boxes;
    std::uint64_t pos = 0;
    while (pos + 8 <= size) {
        unsigned char head[16];
        in.seekg(static_cast<std::streamoff>(pos));
        if (!in.read(reinterpret_cast<char*>(head), 8)) return {};
        std::uint64_t length = bigEndian(head, 4);
        if (length == 1) {
            if (!in.read(reinterpret_cast<char*>(head + 8), 8)) return {};
            length = bigEndian(head + 8, 8);
        } else if (length == 0) {
            length = size - pos;  // the last box runs to the end of the file
        }
        if (length < 8 || pos + length > size) return {};
        boxes.emplace_back(reinterpret_cast<const char*>(head + 4), 4);
        pos += length;
    }
    return pos == size ? boxes : std::vector<std::string>{};
}

std::ptrdiff_t indexOf(const std::vector<std::string>& boxes, const std::string& type) {
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i] == type) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

media::WriterSettings mp4Settings(const std::string& path, const media::Mp4Options& options) {
    media::WriterSettings s = settingsFor(path, 4);
    s.videoEncoder.codec = avcodec_find_encoder_by_name("mpeg4");
    s.audioEncoder.codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    s.muxerOptions = media::mp4MuxerOptions(options);
    return s;
}

std::vector<std::string> writeMp4(const std::string& path, const media::Mp4Options& options) {
    std::unique_ptr<media::MediaWriter> w;
    media::Status st = media::openMediaWriter(mp4Settings(path, options), w);
    EXPECT_TRUE(st) << st.text();
    if (!w) return {};
    st = writeFeed(*w, Feed{});
    EXPECT_TRUE(st) << st.text();
    ReadBack rb;
    std::string error;
    EXPECT_TRUE(readBack(path, rb, &error)) << error;
    EXPECT_GE(rb.framesDecoded, 24);
    EXPECT_GT(rb.audioSamples, 44100 * 9 / 10);
    return topLevelBoxes(path);
}

}  // namespace

TEST(Mp4Layout, FastStartPutsTheIndexBeforeThePictures) {
    const std::string dir = testmedia::scratchDir("mp4_layout");

    const auto plain = writeMp4(dir + "/plain.mp4", {});
    ASSERT_GE(indexOf(plain, "moov"), 0);
    EXPECT_GT(indexOf(plain, "moov"), indexOf(plain, "mdat"));

    const auto fast = writeMp4(dir + "/fast.mp4", {.fastStart = true});
    ASSERT_GE(indexOf(fast, "moov"), 0);
    ASSERT_GE(indexOf(fast, "mdat"), 0);
    EXPECT_LT(indexOf(fast, "moov"), indexOf(fast, "mdat"));
    EXPECT_EQ(fast.front(), "ftyp");
    EXPECT_EQ(partialFilesIn(dir), 0);
}

TEST(Mp4Layout, FragmentedFileIsInPiecesAfterItsIndex) {
    const std::string dir = testmedia::scratchDir("mp4_fragments");
    const auto boxes = writeMp4(dir + "/frag.mp4", {.fastStart = true, .fragmented = true});
    ASSERT_GE(indexOf(boxes, "moov"), 0);
    ASSERT_GE(indexOf(boxes, "moof"), 0);
    EXPECT_LT(indexOf(boxes, "moov"), indexOf(boxes, "moof"));
    EXPECT_LT(indexOf(boxes, "moof"), indexOf(boxes, "mdat"));
}

TEST(Mp4Layout, OptionsTheWriterDoesNotHaveAreRefusedBeforeAnyFile) {
    const std::string dir = testmedia::scratchDir("mp4_bad_options");
    const std::string path = dir + "/out.mp4";
    struct Case {
        media::MuxerOptions options;
        const char* named;
    };
    const Case cases[] = {
        {{{"no_such_option", "1"}}, "no_such_option"},
        {{{"movflags", "+no_such_flag"}}, "+no_such_flag"},
        {{{"", "1"}}, "without a name"},
    };
    for (const Case& c : cases) {
        media::WriterSettings s = mp4Settings(path, {});
        s.muxerOptions = c.options;
        std::unique_ptr<media::MediaWriter> w;
        media::Status st = media::openMediaWriter(std::move(s), w);
        EXPECT_FALSE(st) << c.named;
        EXPECT_NE(st.text().find(c.named), std::string::npos) << st.text();
        EXPECT_NE(st.text().find("MP4"), std::string::npos) << st.text();
    }

    // Our own DSM writer has no options at all.
    media::WriterSettings dsm = settingsFor(dir + "/out.dsm", 5);
    dsm.muxerOptions = {{"movflags", "+faststart"}};
    std::unique_ptr<media::MediaWriter> w;
    EXPECT_FALSE(media::openMediaWriter(std::move(dsm), w));
    EXPECT_TRUE(fs::is_empty(dir));
}
