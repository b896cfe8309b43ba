// SPDX-License-Identifier: GPL-3.0-or-later
// The trial answers kept beside the settings: read back by the next start, never believed
// blindly, written so that a crash leaves the old file or the new one.
#include "output/compressor_answer_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <filesystem>

extern "C" {
#include <libavutil/avutil.h>
}

#include "support/media/test_media.h"

using output::CompressorAnswerCache;

namespace {

QString freshPath(const char* name) {
    const QString dir = QString::fromStdString(testmedia::scratchDir("answer_cache"));
    const QString path = dir + u'/' + QString::fromLatin1(name);
    QFile::remove(path);
    return path;
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(CompressorAnswerCache, AnswersComeBackAtTheNextStartForTheSameLibrariesOnly) {
    EXPECT_EQ(output::compressorAnswersFileBeside("/home/u/.config/KORVANE/Clipfuse.ini"),
              "/home/u/.config/KORVANE/Clipfuse.compressors.json");
    const QString path = freshPath("kept.json");
    {
        CompressorAnswerCache cache(path);
        EXPECT_FALSE(cache.find("png|a"));
        cache.remember("png|a", "");
        cache.remember("h261|b", "H.261 does not take the size 352*240.");
        ASSERT_TRUE(cache.save());
    }
    CompressorAnswerCache again(path);
    EXPECT_EQ(again.find("png|a"), std::optional<std::string>(""));
    EXPECT_EQ(again.find("h261|b"),
              std::optional<std::string>("H.261 does not take the size 352*240."));

    // Written by other libraries: none of it holds.
    QByteArray bytes = read(path);
    const QByteArray libraries = QByteArray("\"libraries\":\"") + av_version_info() + "\"";
    ASSERT_TRUE(bytes.contains(libraries));
    write(path, bytes.replace(libraries, "\"libraries\":\"0.1\""));
    EXPECT_FALSE(CompressorAnswerCache(path).find("png|a"));
}

TEST(CompressorAnswerCache, AFileThatIsNotOursIsIgnoredAndReplacedAtTheNextSave) {
    const QString path = freshPath("damaged.json");
    const QByteArray header = QByteArray("{\"format\":1,\"libraries\":\"") + av_version_info() +
                              "\",\"program\":\"" CLIPFUSE_TEST_PROGRAM_VERSION "\",\"answers\":";
    // Entries of the wrong kind are passed over, the good ones kept.
    write(path, header +
                    "[{\"key\":\"png|a\",\"refusal\":\"\"},{\"key\":7,\"refusal\":\"x\"},"
                    "{\"key\":\"x\"},[1,2],{\"key\":\"" +
                    QByteArray(2000, 'k') + "\",\"refusal\":\"\"}]}");
    CompressorAnswerCache mixed(path);
    EXPECT_EQ(mixed.find("png|a"), std::optional<std::string>(""));
    EXPECT_FALSE(mixed.find("x"));

    for (const QByteArray& damaged : {QByteArray("{\"format\":1,\"answers\":[{\"key\""),
                                      QByteArray("\0\1\2", 3), header + "{\"png|a\":\"\"}}"}) {
        write(path, damaged);
        CompressorAnswerCache cache(path);
        EXPECT_FALSE(cache.find("png|a"));
        cache.remember("mpeg4|c", "");
        ASSERT_TRUE(cache.save());
        EXPECT_EQ(CompressorAnswerCache(path).find("mpeg4|c"), std::optional<std::string>(""));
    }

    // Far larger than any file of ours.
    write(path, header + "[{\"key\":\"png|a\",\"refusal\":\"" +
                    QByteArray(CompressorAnswerCache::kMaxFileBytes, ' ') + "\"}]}");
    EXPECT_FALSE(CompressorAnswerCache(path).find("png|a"));

    // Not a regular file: a named pipe nobody writes to, and the endless /dev/zero.
    QElapsedTimer clock;
    clock.start();
    const QString pipe = freshPath("pipe.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(CompressorAnswerCache(pipe).find("png|a"));
    const QString zero = freshPath("zero.json");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    EXPECT_FALSE(CompressorAnswerCache(zero).find("png|a"));
    EXPECT_LT(clock.elapsed(), 5000) << "neither was waited on nor read through";
    QFile::remove(pipe);
    QFile::remove(zero);
}

TEST(CompressorAnswerCache, TheOldestAnswersGiveWayAndAFailedWriteKeepsTheOldFile) {
    const QString path = freshPath("full.json");
    CompressorAnswerCache cache(path);
    for (std::size_t i = 0; i <= CompressorAnswerCache::kMaxAnswers; ++i)
        cache.remember("enc|" + std::to_string(i), std::string(400, 'r'));
    ASSERT_TRUE(cache.save());
    EXPECT_LE(read(path).size(), CompressorAnswerCache::kMaxFileBytes);
    CompressorAnswerCache reread(path);
    EXPECT_FALSE(reread.find("enc|0"));
    EXPECT_TRUE(reread.find("enc|" + std::to_string(CompressorAnswerCache::kMaxAnswers)));

    const QString blocked = freshPath("blocked") + "/answers.json";
    write(freshPath("blocked"), "a file where the folder should be");
    CompressorAnswerCache unwritable(blocked);
    unwritable.remember("png|a", "");
    EXPECT_FALSE(unwritable.save());
    QFile::remove(freshPath("blocked"));
}
