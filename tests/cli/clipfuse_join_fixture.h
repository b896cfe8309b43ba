// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// clipfuse-join run as a user runs it: its own process, with settings in a folder of the
// test's.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>

#include "app/settings_store.h"
#include "support/media/test_media.h"

struct Ran {
    int exitCode = -1;
    QString out, err;
};

class JoinProgram : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testmedia::scratchDir("cli_" + std::string(
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        config_ = QString::fromStdString(dir_ + "/config");
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);
    }

    // The store the program reads: the main program's, under the test's config folder.
    SettingsStore store() {
        qputenv("XDG_CONFIG_HOME", config_.toUtf8());
        SettingsStore s(QStringLiteral("KORVANE"), QStringLiteral("clipfuse"));
        qunsetenv("XDG_CONFIG_HOME");
        return s;
    }

    void start(QProcess& p, const QStringList& args) {
        p.setProcessEnvironment(env_);
        p.start(QStringLiteral(CLIPFUSE_JOIN_PROGRAM), args);
        ASSERT_TRUE(p.waitForStarted());
    }

    Ran run(const QStringList& args) {
        QProcess p;
        start(p, args);
        EXPECT_TRUE(p.waitForFinished(180000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    // Waits until a progress line above 0% shows that pictures are in the file, then
    // interrupts the join as Ctrl+C does and waits for it to end. What it printed on its
    // error output; empty when no such progress line came.
    QByteArray interruptOnceWriting(QProcess& p) {
        const QRegularExpression written(QStringLiteral("Used Time: [0-9:]+ +[1-9][0-9]*%"));
        QByteArray err;
        while (!QString::fromUtf8(err).contains(written) && p.state() == QProcess::Running) {
            p.waitForReadyRead(200);
            err += p.readAllStandardError();
        }
        if (!QString::fromUtf8(err).contains(written)) {
            ADD_FAILURE() << "no progress above 0%: " << err.toStdString();
            return {};
        }
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        EXPECT_TRUE(p.waitForFinished(60000));
        return err + p.readAllStandardError();
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Small and quick: 160x120 at 10 frames a second.
    static QStringList small() { return {"--size", "160x120", "--fps", "10", "--effect", "Fade", "--transition-seconds", "1"}; }

    std::string dir_;
    QString config_;
    QProcessEnvironment env_;
};

inline QString q(const std::string& s) { return QString::fromStdString(s); }
