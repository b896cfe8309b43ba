// SPDX-License-Identifier: GPL-3.0-or-later
// One window per settings folder, seen from outside: the program itself started again and
// again with the same private settings and runtime folders, as a desktop starts it.
#include "app/program_instance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "support/media/test_media.h"
#include "support/qt/run_until.h"

namespace {

class TwoStartsTest : public ::testing::Test {
protected:
    TwoStartsTest() : root_(QDir::tempPath() + "/clipfuse-starts-XXXXXX") {
        // Under /tmp: a local socket's path must stay short.
        EXPECT_TRUE(root_.isValid());
        QDir(root_.path()).mkpath("run");
        QFile::setPermissions(root_.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        clips_ = QString::fromStdString(testmedia::scratchDir("two_starts"));
        QDir(clips_).mkpath("sub");
        for (const char* name : {"a.mp4", "b.mp4", "sub/c.mp4", "d.mp4"}) {
            testmedia::ClipSpec recipe;
            recipe.width = 160;
            recipe.height = 120;
            recipe.seconds = 1.0;
            EXPECT_TRUE(testmedia::makeClip((clips_ + "/" + name).toStdString(), recipe));
        }
    }
    ~TwoStartsTest() override {
        for (auto& p : running_) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    QString config(const QString& name = "config") const { return root_.filePath(name); }
    QString clip(const QString& name) const { return clips_ + "/" + name; }

    QProcess* start(const QStringList& arguments, const QString& folder,
                    const QString& configFolder) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", configFolder);
        env.insert("XDG_RUNTIME_DIR", root_.filePath("run"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(folder);
        process->start(CLIPFUSE_PROGRAM, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        running_.push_back(std::move(process));
        return running_.back().get();
    }

    // The files of the list a program with `configFolder` keeps.
    static QStringList keptFiles(const QString& configFolder) {
        QFile f(configFolder + "/KORVANE/clipfuse.cliplist.json");
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList files;
        for (const QJsonValue& e :
             QJsonDocument::fromJson(f.readAll()).object().value("clips").toArray())
            files << e.toObject().value("file").toString();
        return files;
    }
    bool listBecomes(const QString& configFolder, const QStringList& files) {
        return testqt::runUntil([&] { return keptFiles(configFolder) == files; }, 30000);
    }

    QTemporaryDir root_;
    QString clips_;
    std::vector<std::unique_ptr<QProcess>> running_;
};

}  // namespace

TEST_F(TwoStartsTest, ALaterStartHandsItsFilesToTheWindowAlreadyOpen) {
    QProcess* first = start({clip("a.mp4")}, root_.path(), config());
    ASSERT_TRUE(listBecomes(config(), {clip("a.mp4")}))
        << keptFiles(config()).join(", ").toStdString();

    // Relative names are taken in the later start's folder, not the window's.
    QProcess* second = start({"b.mp4", "sub/c.mp4"}, clips_, config());
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(listBecomes(config(), {clip("a.mp4"), clip("b.mp4"), clip("sub/c.mp4")}))
        << keptFiles(config()).join(", ").toStdString();

    // With no files the window comes forward; --version answers without reaching it.
    QProcess* third = start({}, clips_, config());
    ASSERT_TRUE(third->waitForFinished(10000));
    EXPECT_EQ(third->exitCode(), 0);
    QProcess* version = start({"--version", "d.mp4"}, clips_, config());
    ASSERT_TRUE(version->waitForFinished(10000));
    EXPECT_EQ(version->readAllStandardOutput(), "clipfuse 1.1\n");
    EXPECT_EQ(first->state(), QProcess::Running);

    // Another settings folder is another program: it opens its own window.
    QProcess* other = start({clip("d.mp4")}, clips_, config("other"));
    EXPECT_TRUE(listBecomes(config("other"), {clip("d.mp4")}));
    EXPECT_EQ(other->state(), QProcess::Running);
    EXPECT_EQ(keptFiles(config()).size(), 3);

    // A window that crashed leaves its socket and lock behind; the next start opens one.
    first->kill();
    ASSERT_TRUE(first->waitForFinished(5000));
    QProcess* after = start({clip("d.mp4")}, clips_, config());
    EXPECT_TRUE(
        listBecomes(config(), {clip("a.mp4"), clip("b.mp4"), clip("sub/c.mp4"), clip("d.mp4")}))
        << keptFiles(config()).join(", ").toStdString();
    EXPECT_EQ(after->state(), QProcess::Running);
}

TEST(HandOffTest, OnlyAbsolutePathsAreTakenFromARequest) {
    HandOff decoded;
    ASSERT_TRUE(decodeHandOff(encodeHandOff({{"/clips/a.mp4", "b.mp4", ""}, "token-1"}), decoded));
    EXPECT_EQ(decoded.files, QStringList{"/clips/a.mp4"});
    EXPECT_EQ(decoded.activationToken, "token-1");
    EXPECT_FALSE(decodeHandOff("not json", decoded));
}
