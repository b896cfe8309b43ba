// SPDX-License-Identifier: GPL-3.0-or-later
// Broken, hostile and unreadable files: each one is a clean failure with a reason.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "media/core/clip_reader.h"
#include "media/probe/probe_clip.h"
#include "support/media/stalled_file.h"
#include "support/media/test_media.h"

using media::ClipInfo;
using media::probeClip;
using media::ProbeFailure;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

class BadInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = testmedia::scratchDir("probe_bad_input");
        testmedia::ClipSpec recipe;
        recipe.seconds = 1.0;
        recipe.width = 160;
        recipe.height = 120;
        good_ = dir_ + "/good.mp4";
        ASSERT_TRUE(testmedia::makeClip(good_, recipe));
        recipe.extraOutputArgs = "-movflags +faststart";
        faststart_ = dir_ + "/faststart.mp4";
        ASSERT_TRUE(testmedia::makeClip(faststart_, recipe));
    }

    static std::string path(const std::string& name) { return dir_ + "/" + name; }

    // A failure says which step failed and why, and leaves nothing else filled in.
    static void expectCleanFailure(const ClipInfo& info, ProbeFailure step,
                                   const std::string& reasonPart = {}) {
        EXPECT_FALSE(info.ok());
        EXPECT_EQ(info.failure, step) << info.status.text();
        EXPECT_TRUE(info.status.failed());
        EXPECT_FALSE(info.status.text().empty());
        if (!reasonPart.empty()) {
            EXPECT_NE(info.status.text().find(reasonPart), std::string::npos) << info.status.text();
        }
        EXPECT_EQ(info.duration, 0);
        EXPECT_FALSE(info.video || info.audio);
    }

    // Whatever a damaged file gives, it is either a usable clip or a failure with a reason.
    static void expectSaneResult(const ClipInfo& info) {
        if (info.ok()) {
            EXPECT_GT(info.duration, 0);
            EXPECT_LE(info.duration, media::secondsToTicks(2.0));
            EXPECT_TRUE(info.video || info.audio);
        } else {
            EXPECT_NE(info.failure, ProbeFailure::None);
            EXPECT_FALSE(info.status.text().empty());
        }
    }

    static inline std::string dir_, good_, faststart_;
};

TEST_F(BadInput, MissingEmptyAndFolderAreRefusedByName) {
    expectCleanFailure(probeClip(path("nowhere.mp4")), ProbeFailure::CannotOpen, "does not exist");

    writeAll(path("empty.mp4"), "");
    expectCleanFailure(probeClip(path("empty.mp4")), ProbeFailure::CannotOpen, "empty");

    std::filesystem::create_directories(path("folder.mp4"));
    expectCleanFailure(probeClip(path("folder.mp4")), ProbeFailure::CannotOpen,
                       "Not a regular file");

    expectCleanFailure(probeClip(""), ProbeFailure::CannotOpen);
}

TEST_F(BadInput, TextAndRandomBytesUnderMediaNames) {
    writeAll(path("notes.mp4"), "Shopping list:\n- milk\n- a new camera\n");
    expectCleanFailure(probeClip(path("notes.mp4")), ProbeFailure::CannotOpen);

    unsigned seed = 1;
    for (const char* ext : {".mp4", ".avi", ".mkv", ".mpg", ".mp3", ".wav", ".ts", ""}) {
        std::string p = path(std::string("random") + ext);
        writeAll(p, randomBytes(64 * 1024, seed++));
        ClipInfo info = probeClip(p);
        EXPECT_FALSE(info.ok()) << p << " measured as " << info.duration << " ticks";
        EXPECT_FALSE(info.status.text().empty());
    }
}

TEST_F(BadInput, TruncatedFiles) {
    // The index of a normally written MP4 is at its end: cut, the file cannot be read.
    const std::string whole = readAll(good_);
    writeAll(path("cut.mp4"), whole.substr(0, whole.size() / 2));
    expectCleanFailure(probeClip(path("cut.mp4")), ProbeFailure::CannotOpen);

    // Cut anywhere, from inside the header to the last byte.
    for (const std::string& source : {whole, readAll(faststart_)}) {
        for (int i = 1; i < 24; ++i) {
            std::string p = path("cut" + std::to_string(i) + ".mp4");
            writeAll(p, source.substr(0, source.size() * i / 24));
            expectSaneResult(probeClip(p));
        }
    }
}

TEST_F(BadInput, AHeaderWithoutFramesIsNoClip) {
    ASSERT_TRUE(testmedia::makeHeaderOnlyClip(path("header.mkv")));
    expectCleanFailure(probeClip(path("header.mkv")), ProbeFailure::CannotOpen, "could be decoded");

    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.width = 160;
    recipe.height = 120;

    // Sound alone and pictures alone are still clips.
    recipe.videoCodec.clear();
    ASSERT_TRUE(testmedia::makeClip(path("sound.mkv"), recipe));
    EXPECT_TRUE(probeClip(path("sound.mkv")).ok());
    recipe.videoCodec = "libx264";
    recipe.audioCodec.clear();
    ASSERT_TRUE(testmedia::makeClip(path("silent.mkv"), recipe));
    EXPECT_TRUE(probeClip(path("silent.mkv")).ok());
}

TEST_F(BadInput, DamagedBytesNeverCrash) {
    const std::string whole = readAll(faststart_);
    std::mt19937 gen(7);
    for (int round = 0; round < 30; ++round) {
        std::string damaged = whole;
        // Most of the damage goes into the header, where the demuxer trusts what it reads.
        std::uniform_int_distribution<std::size_t> where(0, round % 2 ? damaged.size() - 1 : 4095);
        for (int k = 0; k < 8; ++k) damaged[where(gen)] = static_cast<char>(gen() & 0xFF);
        std::string p = path("damaged.mp4");
        writeAll(p, damaged);
        expectSaneResult(probeClip(p));
    }
}

TEST_F(BadInput, HugeDeclaredPictureSize) {
    // A raw-video header can claim any size; the frame data after it is tiny.
    for (const char* size : {"W20000 H20000", "W12000 H9000", "W16384 H16384", "W100000 H2"}) {
        std::string p = path("huge.y4m");
        writeAll(p, std::string("YUV4MPEG2 ") + size + " F25:1 Ip A1:1 C420jpeg\nFRAME\n" +
                        randomBytes(4096, 3));
        ClipInfo info = probeClip(p);
        expectCleanFailure(info, ProbeFailure::CannotOpen);
    }
    // The same header with a believable size is a clip.
    std::string p = path("small.y4m");
    writeAll(p, "YUV4MPEG2 W16 H16 F25:1 Ip A1:1 C420jpeg\nFRAME\n" +
                    std::string(16 * 16 * 3 / 2, '\x80'));
    ClipInfo info = probeClip(p);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_EQ(info.duration, media::kTicksPerSecond / 25);
}

TEST_F(BadInput, UnknownCodecIsNotDecodable) {
    // An AVI names its video codec by a four-character code; one no decoder knows.
    testmedia::ClipSpec recipe;
    recipe.container = "avi";
    recipe.videoCodec = "mpeg4";
    recipe.audioCodec = "";
    recipe.seconds = 0.5;
    recipe.width = 64;
    recipe.height = 48;
    std::string p = path("unknown.avi");
    ASSERT_TRUE(testmedia::makeClip(p, recipe));
    std::string bytes = readAll(p);
    for (std::size_t at = bytes.find("FMP4"); at != std::string::npos; at = bytes.find("FMP4", at))
        bytes.replace(at, 4, "QZQZ");
    writeAll(p, bytes);
    expectCleanFailure(probeClip(p), ProbeFailure::CannotOpen, "decode");

    // With sound beside it, the clip still opens: one decodable stream is enough.
    recipe.audioCodec = "pcm_s16le";
    p = path("unknown_with_sound.avi");
    ASSERT_TRUE(testmedia::makeClip(p, recipe));
    bytes = readAll(p);
    for (std::size_t at = bytes.find("FMP4"); at != std::string::npos; at = bytes.find("FMP4", at))
        bytes.replace(at, 4, "QZQZ");
    writeAll(p, bytes);
    ClipInfo info = probeClip(p);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_FALSE(info.video);
    EXPECT_TRUE(info.audio);
}

TEST_F(BadInput, FilesWithoutPictureOrSound) {
    writeAll(path("words.srt"), "1\n00:00:01,000 --> 00:00:02,000\nHello\n");
    expectCleanFailure(probeClip(path("words.srt")), ProbeFailure::CannotOpen,
                       "no picture or sound");
}

TEST_F(BadInput, PlaylistsNamingOtherFilesAreRefusedUnread) {
    // The listed file is a pipe, so any attempt to open it is seen by the watcher below,
    // which lets such a reader go at once with an end of file instead of blocking it.
    const std::string listed = path("listed.ts");
    std::filesystem::remove(listed);
    ASSERT_EQ(::mkfifo(listed.c_str(), 0600), 0);
    std::atomic<bool> stop{false}, opened{false};
    std::thread watcher([&] {
        while (!stop) {
            int fd = ::open(listed.c_str(), O_WRONLY | O_NONBLOCK);  // succeeds only with a reader
            if (fd >= 0) {
                opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    writeAll(path("playlist.mp4"),
             "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" + listed + "\n#EXT-X-ENDLIST\n");
    expectCleanFailure(probeClip(path("playlist.mp4")), ProbeFailure::CannotOpen);
    writeAll(path("list.ffconcat"), "ffconcat version 1.0\nfile '" + listed + "'\n");
    expectCleanFailure(probeClip(path("list.ffconcat")), ProbeFailure::CannotOpen);
    stop = true;
    watcher.join();
    EXPECT_FALSE(opened);
}

TEST_F(BadInput, UnreadableFile) {
    std::string p = path("locked.mp4");
    std::filesystem::copy_file(good_, p, std::filesystem::copy_options::overwrite_existing);
    ::chmod(p.c_str(), 0);
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    expectCleanFailure(probeClip(p), ProbeFailure::CannotOpen);
}

TEST_F(BadInput, FileVanishingAndChangingWhileMeasured) {
    const std::string p = path("flaky.mp4");
    const std::string whole = readAll(faststart_);
    std::atomic<bool> stop{false};
    std::thread vandal([&] {
        // Alternately gone, replaced by a short copy and by the whole clip again.
        for (int i = 0; !stop; ++i) {
            switch (i % 3) {
                case 0:
                    std::filesystem::remove(p);
                    break;
                case 1:
                    writeAll(p, whole.substr(0, whole.size() / 3));
                    break;
                default:
                    writeAll(p, whole);
                    break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    for (int i = 0; i < 60; ++i) expectSaneResult(probeClip(p));
    stop = true;
    vandal.join();
}

TEST_F(BadInput, AFileThatStopsAnsweringIsNamedForItWhereverItStops) {
    // Uncompressed pictures: the file is read in many pieces, so it can stop while it is
    // opened, while its pictures are looked for, or while its end is read.
    testmedia::ClipSpec recipe;
    recipe.container = "avi";
    recipe.videoCodec = "rawvideo";
    recipe.audioCodec = "pcm_s16le";
    recipe.width = 160;
    recipe.height = 120;
    recipe.seconds = 2.0;
    const std::string p = path("stalling.avi");
    ASSERT_TRUE(testmedia::makeClip(p, recipe));
    const auto previousLimit = media::readStallLimit();
    media::setReadStallLimit(std::chrono::milliseconds(200));
    int stalled = 0;
    for (int freeReads : {0, 1, 2, 3, 5, 8, 13, 21, 34}) {
        testmedia::StalledFile stalling(p, 0, freeReads);
        const ClipInfo info = probeClip(p);
        if (info.ok()) continue;  // every read it needed was answered
        ++stalled;
        EXPECT_EQ(info.failure, ProbeFailure::CannotOpen) << freeReads;
        EXPECT_EQ(info.status.text(), p + " gave no data for 0.2 seconds.") << freeReads;
    }
    media::setReadStallLimit(previousLimit);
    EXPECT_GE(stalled, 3);
}

}  // namespace
