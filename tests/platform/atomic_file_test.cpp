// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomic_file.h"
#include "support/media/test_media.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    const fs::path dir = testmedia::scratchDir("atomic_replace");
    const fs::path file = dir / "sub" / "store.ini";
    std::string error;
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "first", &error)) << error;
    ::chmod(file.c_str(), 0600);
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), std::string("second\0binary", 13), &error)) << error;
    EXPECT_EQ(slurp(file), std::string("second\0binary", 13));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(file.parent_path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, AnUnwritableFolderFailsWithATextAndKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    const fs::path dir = testmedia::scratchDir("atomic_readonly");
    const fs::path file = dir / "store.ini";
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "kept"));
    ::chmod(dir.c_str(), 0500);
    std::string error;
    EXPECT_FALSE(platform::writeFileAtomically(file.string(), "lost", &error));
    ::chmod(dir.c_str(), 0700);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(slurp(file), "kept");
}

TEST(AtomicFile, APathThroughAFileFails) {
    const fs::path dir = testmedia::scratchDir("atomic_notdir");
    ASSERT_TRUE(platform::writeFileAtomically((dir / "plain").string(), "x"));
    std::string error;
    EXPECT_FALSE(platform::writeFileAtomically((dir / "plain" / "store.ini").string(), "y", &error));
    EXPECT_FALSE(error.empty());
}
