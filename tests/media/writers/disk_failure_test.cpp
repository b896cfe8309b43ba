// SPDX-License-Identifier: GPL-3.0-or-later
// What a user meets when the disk fills up or refuses files: a clear message, no file left
// behind, and an earlier file of the same name untouched. Small memory-backed disks are
// mounted for it; where the machine does not allow mounting, the tests are skipped.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>

#include "media/writers/media_writer.h"
#include "support/media/test_media.h"
#include "support/media/written_file.h"

using namespace writertest;
namespace fs = std::filesystem;

namespace {

class SmallDisk {
public:
    SmallDisk(const std::string& name, const std::string& options)
        : dir_(testmedia::scratchDir(name)) {
        mounted_ = ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
    bool mounted_ = false;
};

}  // namespace

TEST(WriterDiskFailures, AFullDiskStopsTheWriteAndLeavesNoFile) {
    SmallDisk disk("writer_full_disk", "size=512k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small disk here";
    const std::string path = disk.dir() + "/join.avi";
    std::ofstream(path) << "earlier result";

    std::unique_ptr<media::MediaWriter> w;
    ASSERT_TRUE(media::openMediaWriter(settingsFor(path, 0), w));
    Feed feed;  // about 1.5 MB of raw pictures: far more than the disk holds
    media::Status st = writeFeed(*w, feed);
    ASSERT_FALSE(st);
    EXPECT_EQ(st.code(), media::Status::kDiskFull);
    EXPECT_NE(st.text().find("no space left on the disk"), std::string::npos) << st.text();
    EXPECT_NE(st.text().find(path), std::string::npos) << st.text();
    EXPECT_EQ(partialFilesIn(disk.dir()), 0);
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "earlier result");
    EXPECT_FALSE(w->finish());
}

TEST(WriterDiskFailures, RunningOutOfRoomNearTheEndIsNeverPassedOffAsAFile) {
    // Room for all but the last few pictures: whether the write or finish() meets the full
    // disk, no file results.
    SmallDisk disk("writer_full_at_end", "size=1600k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small disk here";
    const std::string path = disk.dir() + "/join.mkv";
    std::unique_ptr<media::MediaWriter> w;
    ASSERT_TRUE(media::openMediaWriter(settingsFor(path, 2), w));
    Feed feed;
    feed.frames = 30;
    media::Status st = writeFeed(*w, feed);
    ASSERT_FALSE(st);
    EXPECT_NE(st.text().find("no space left on the disk"), std::string::npos) << st.text();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(partialFilesIn(disk.dir()), 0);
}

TEST(WriterDiskFailures, AReadOnlyDiskIsAFolderThatCannotBeWritten) {
    SmallDisk disk("writer_read_only", "size=64k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small disk here";
    ASSERT_EQ(::mount(nullptr, disk.dir().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    std::unique_ptr<media::MediaWriter> w;
    media::Status st = media::openMediaWriter(settingsFor(disk.dir() + "/join.avi", 0), w);
    ASSERT_FALSE(st);
    EXPECT_NE(st.text().find("cannot write in the folder"), std::string::npos) << st.text();
    EXPECT_NE(st.text().find("read-only"), std::string::npos) << st.text();
    EXPECT_TRUE(fs::is_empty(disk.dir()));
}

TEST(WriterDiskFailures, AFullDiskMetWhileEncodingSoundStopsTheWriteAndLeavesNoFile) {
    // Sound is encoded and written beside the caller; its failure still reaches the caller,
    // from a later write or from finish(), and nothing of the file is kept.
    SmallDisk disk("writer_full_sound", "size=256k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small disk here";
    const std::string path = disk.dir() + "/join.avi";
    media::WriterSettings s = settingsFor(path, 0);
    s.video.reset();
    std::unique_ptr<media::MediaWriter> w;
    ASSERT_TRUE(media::openMediaWriter(std::move(s), w));
    std::vector<float> left(4410, 0.25f), right(4410, -0.25f);
    const float* planes[] = {left.data(), right.data()};
    media::Status st = media::Status::ok();
    for (int i = 0; i < 100 && st; ++i) st = w->writeAudio(planes, 4410);  // 10 s, 1.7 MB
    if (st) st = w->finish();
    ASSERT_FALSE(st);
    EXPECT_EQ(st.code(), media::Status::kDiskFull) << st.text();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(partialFilesIn(disk.dir()), 0);
}
