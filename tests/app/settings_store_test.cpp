// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "support/media/test_media.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A store in a fresh folder of its own, through XDG_CONFIG_HOME as the program finds it.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = QString::fromStdString(testmedia::scratchDir(std::string("store_") + info->name()));
        saved_ = qEnvironmentVariable("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", root_.toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_.toUtf8()); }

    void writeFile(const SettingsStore& store, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(store.filePath()).path());
        QFile f(store.filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const SettingsStore& store) {
        QFile f(store.filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString root_;
    QString saved_;
};

}  // namespace

TEST_F(SettingsStoreTest, LivesInTheCompanyFolderUnderTheConfigRoot) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    EXPECT_EQ(store.filePath(), root_ + "/KORVANE/clipfuse.ini");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(SettingsStore::configRoot(), QDir::homePath() + "/.config");
}

TEST_F(SettingsStoreTest, AnEmptyStoreGivesTheDefaultsAndCreatesNothing) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    using namespace settings;
    EXPECT_EQ(store.readText(kOption, kCurrentLanguage, kDefaultLanguage), "english");
    EXPECT_EQ(store.readInt(kSettings, kOutputWidth, kDefaultWidth), 352);
    EXPECT_EQ(store.readInt(kVideoCompress, kCompressorNumber, kAutomaticCompressor), -2);
    EXPECT_FALSE(QFile::exists(store.filePath()));
}

TEST_F(SettingsStoreTest, EveryKindRoundTripsAndKindsStayApart) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    ASSERT_TRUE(store.writeInt("Settings", "OutputWidth", 640));
    ASSERT_TRUE(store.writeInt("Settings", "Negative", -2));
    ASSERT_TRUE(store.writeInt("Settings", "Extreme", INT32_MIN));
    ASSERT_TRUE(store.writeText("Settings", "OutputName", "  /videos/a \"b\", c\\d.wmv "));
    ASSERT_TRUE(store.writeText("Settings", "LooksLikeNumber", "dword:00000010"));
    ASSERT_TRUE(store.writeText("Settings", "Empty", ""));
    ASSERT_TRUE(store.writeText("Option", "CurrentLanguage", QString::fromUtf8("Deutsch_äöü")));

    SettingsStore reopened(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    EXPECT_EQ(reopened.readInt("Settings", "OutputWidth", 0), 640);
    EXPECT_EQ(reopened.readInt("Settings", "Negative", 0), -2);
    EXPECT_EQ(reopened.readInt("Settings", "Extreme", 0), INT32_MIN);
    EXPECT_EQ(reopened.readText("Settings", "OutputName", ""), "  /videos/a \"b\", c\\d.wmv ");
    EXPECT_EQ(reopened.readText("Settings", "Empty", "default"), "");
    EXPECT_EQ(reopened.readText("Option", "CurrentLanguage", ""), QString::fromUtf8("Deutsch_äöü"));
    // A text is never read as an integer, nor an integer as a text.
    EXPECT_EQ(reopened.readInt("Settings", "LooksLikeNumber", 7), 7);
    EXPECT_EQ(reopened.readText("Settings", "LooksLikeNumber", ""), "dword:00000010");
    EXPECT_EQ(reopened.readText("Settings", "OutputWidth", "text default"), "text default");
    EXPECT_EQ(reopened.readInt("Settings", "OutputName", 5), 5);
}

TEST_F(SettingsStoreTest, NamesMatchWithoutRegardToCase) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    ASSERT_TRUE(store.writeInt("TransitionSettings", "TransitionDuration", 5));
    ASSERT_TRUE(store.writeInt("transitionsettings", "TRANSITIONDURATION", 6));
    EXPECT_EQ(store.readInt("TRANSITIONSETTINGS", "transitionduration", 0), 6);
    const QByteArray file = readFile(store);
    EXPECT_EQ(file.count("TransitionDuration"), 1) << file.constData();  // one value, first spelling kept
    EXPECT_EQ(file.count("[TransitionSettings]"), 1);
}

TEST_F(SettingsStoreTest, ADamagedFileGivesDefaultsAndKeepsItsReadableValues) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    static const char kDamaged[] =
        "\x00\x01garbage\xff\n[Settings\nOutputWidth=dword:zz\nOutputHigh=dword:123456789\n"
        "[Settings]\nOutputWidth=dword:\nn_audio_bitrate=dword:0001f400\nOutputName=\"unterminated\n";
    writeFile(store, QByteArray(kDamaged, sizeof kDamaged - 1));
    EXPECT_EQ(store.readInt("Settings", "OutputWidth", 352), 352);
    EXPECT_EQ(store.readInt("Settings", "OutputHigh", 240), 240);
    EXPECT_EQ(store.readInt("Settings", "n_audio_bitrate", 0), 128000);
    EXPECT_EQ(store.readText("Settings", "OutputName", ""), "\"unterminated");
    // Writing keeps what could be read.
    ASSERT_TRUE(store.writeInt("Settings", "OutputWidth", 720));
    EXPECT_EQ(store.readInt("Settings", "OutputWidth", 0), 720);
    EXPECT_EQ(store.readInt("Settings", "n_audio_bitrate", 0), 128000);
}

TEST_F(SettingsStoreTest, AnUnreadableStoreIsNeverReplaced) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    // A folder where the file should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir().mkpath(store.filePath()));
    EXPECT_EQ(store.readInt("Settings", "OutputWidth", 352), 352);
    EXPECT_FALSE(store.writeInt("Settings", "OutputWidth", 1));
    EXPECT_TRUE(QFileInfo(store.filePath()).isDir());
}

TEST_F(SettingsStoreTest, AnUnwritableFolderFailsQuietlyAndLosesNothing) {
    // The company folder's place is taken by a file, so the store cannot be created.
    QFile blocker(root_ + "/KORVANE");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    EXPECT_FALSE(store.writeText("Option", "CurrentLanguage", "german"));
    EXPECT_EQ(store.readText("Option", "CurrentLanguage", "english"), "english");
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), "not a folder");
}

TEST_F(SettingsStoreTest, TextsThatCannotStandOnOneLineAreRefused) {
    SettingsStore store(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
    ASSERT_TRUE(store.writeText("Settings", "OutputName", "/kept.wmv"));
    EXPECT_FALSE(store.writeText("Settings", "OutputName", "/a\nInjected=dword:00000001"));
    EXPECT_FALSE(store.writeText("Settings]\n[Other", "X", "y"));
    EXPECT_FALSE(store.writeInt("Settings", "A=B", 1));
    EXPECT_EQ(store.readText("Settings", "OutputName", ""), "/kept.wmv");
    EXPECT_FALSE(store.contains("Settings", "Injected"));
}
