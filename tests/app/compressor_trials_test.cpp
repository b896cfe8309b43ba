// SPDX-License-Identifier: GPL-3.0-or-later
// The Options dialog as the program opens it, while its compressor trials run in helper
// processes: the window keeps time, OK closes at once, a trial that never answers is given up
// after 3 s, and answers come back from the file beside the settings at the next dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "output/compressor_answer_cache.h"
#include "output/output_dialog_ids.h"
#include "output/output_settings_dialog.h"
#include "support/media/test_media.h"
#include "support/qt/modal_dialog.h"
#include "support/qt/recorders.h"
#include "support/qt/window_with_compressors.h"

using namespace media::codecs;
using namespace outputdlg;

namespace {

using testqt::WindowWithCompressors;

// Makes the trials of one encoder hang, as an encoder that never returns does.
class NeverAnswering {
public:
    explicit NeverAnswering(const char* encoder) {
        qputenv("CLIPFUSE_TEST_TRIAL_NEVER_ANSWERS", encoder);
    }
    ~NeverAnswering() { qunsetenv("CLIPFUSE_TEST_TRIAL_NEVER_ANSWERS"); }
};

const CompressorDevice kPng{"png", "PNG (png)", CompressorCategory::Video, 5};
const CompressorDevice kMjpeg{"mjpeg", "Motion JPEG (mjpeg)", CompressorCategory::Video, 7};
const CompressorDevice kDivx{"mpeg4", "DivX-compatible MPEG-4 (mpeg4)", CompressorCategory::Video,
                             7};

class CompressorTrialsTest : public ::testing::Test {
protected:
    CompressorTrialsTest() : store_("KORVANE", "compressor_trials_test") {
        QFile::remove(store_.filePath());
        QFile::remove(answersFile());
    }
    ~CompressorTrialsTest() override { QFile::remove(answersFile()); }

    QString answersFile() const { return output::compressorAnswersFileBeside(store_.filePath()); }

    static CompressorRegistry registryWith(std::vector<CompressorDevice> video,
                                           std::vector<CompressorDevice> audio = {}) {
        return CompressorRegistry(
            std::move(video), std::move(audio),
            std::make_shared<const CodecStateStore>(testmedia::scratchDir("compressor_trials")));
    }

    std::unique_ptr<WindowWithCompressors> start(const CompressorRegistry& registry, int format) {
        store_.writeInt(settings::kSettings, settings::kOutputFormat, format);
        auto w = std::make_unique<WindowWithCompressors>(store_, registry);
        w->initialise();
        w->show();
        return w;
    }

    // Runs the Options command as the window runs it, modal; `act` works the dialog meanwhile.
    static void runOptions(CSlidemintDlg& window, std::function<void(CDialogOutputSettings&)> act) {
        testqt::workModalDialog<CDialogOutputSettings>([&window] { window.runCommand(ids::kOptions); },
                                                       act);
    }
    static void click(CDialogOutputSettings& d, int id) {
        QTest::mouseClick(qobject_cast<QPushButton*>(d.control(id)), Qt::LeftButton);
    }
    static QComboBox* list(CDialogOutputSettings& d, int id) {
        return qobject_cast<QComboBox*>(d.control(id));
    }
    static QStandardItem* row(CDialogOutputSettings& d, int listId, int r) {
        return qobject_cast<QStandardItemModel*>(list(d, listId)->model())->item(r);
    }
    static int runningTrials(CDialogOutputSettings& d) {
        int n = 0;
        for (QProcess* p : d.findChildren<QProcess*>())
            if (p->state() != QProcess::NotRunning) ++n;
        return n;
    }

    SettingsStore store_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(CompressorTrialsTest, ATrialThatNeverAnswersNeitherStallsTheWindowNorHoldsUpOk) {
    NeverAnswering hung("mjpeg");
    const CompressorRegistry registry = registryWith({kPng, kMjpeg, kDivx});
    auto window = start(registry, 0);
    qint64 closedAfterMs = -1;
    QElapsedTimer sinceOk;
    runOptions(*window, [&](CDialogOutputSettings& d) {
        EXPECT_EQ(row(d, kVideoCompressorList, 2)->text(), "Motion JPEG (mjpeg) (trying)");
        EXPECT_LE(runningTrials(d), 2);
        // A 50 ms timer on the window's thread while the trials run.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, worstLateMs = 0;
        int fired = 0;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worstLateMs = std::max(worstLateMs, now - last - 50);
            last = now;
            ++fired;
        });
        ticks.start(50);
        QTest::qWait(1500);
        ticks.stop();
        EXPECT_GE(fired, 10);
        EXPECT_LE(worstLateMs, 250) << "the window's thread waited";
        EXPECT_TRUE(d.tryingCompressors()) << "the hung trial is still out";
        EXPECT_LE(runningTrials(d), 2);

        sinceOk.start();
        click(d, kOk);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(runningTrials(d), 0) << "the hung helper was killed";
    });
    closedAfterMs = sinceOk.elapsed();
    EXPECT_LE(closedAfterMs, 1000);
    EXPECT_EQ(window->outputOptions().useVideoCompressor, 1) << "OK took what was known";
    ASSERT_NE(window->boundCompressors().video, nullptr);
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(CompressorTrialsTest, ATrialPastThreeSecondsIsRefusedForThisDialogAndOtherAnswersAreKept) {
    const CompressorRegistry registry = registryWith({kPng, kMjpeg, kDivx});
    auto window = start(registry, 0);
    {
        NeverAnswering hung("mjpeg");
        runOptions(*window, [&](CDialogOutputSettings& d) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !d.tryingCompressors(); }, 15000));
            QStandardItem* mjpeg = row(d, kVideoCompressorList, 2);
            EXPECT_EQ(mjpeg->text(), "Motion JPEG (mjpeg)");
            EXPECT_FALSE(mjpeg->isEnabled());
            EXPECT_EQ(mjpeg->toolTip(), "Motion JPEG (mjpeg) did not answer within 3 s.");
            EXPECT_TRUE(row(d, kVideoCompressorList, 1)->isEnabled());
            EXPECT_TRUE(row(d, kVideoCompressorList, 3)->isEnabled());
            click(d, kCancel);
        });
    }
    QFile kept(answersFile());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << "the answers are kept beside the settings";
    const QByteArray bytes = kept.readAll();
    EXPECT_TRUE(bytes.contains("png|PNG (png)|video"));
    EXPECT_FALSE(bytes.contains("did not answer")) << "a time-out is never remembered";

    // The next dialog shows the kept answers at once and tries only the one never answered.
    runOptions(*window, [&](CDialogOutputSettings& d) {
        EXPECT_EQ(row(d, kVideoCompressorList, 1)->text(), "PNG (png)");
        EXPECT_TRUE(row(d, kVideoCompressorList, 1)->isEnabled());
        EXPECT_EQ(row(d, kVideoCompressorList, 3)->text(), "DivX-compatible MPEG-4 (mpeg4)");
        EXPECT_EQ(row(d, kVideoCompressorList, 2)->text(), "Motion JPEG (mjpeg) (trying)");
        EXPECT_EQ(runningTrials(d), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !d.tryingCompressors(); }, 15000));
        EXPECT_TRUE(row(d, kVideoCompressorList, 2)->isEnabled());
        click(d, kCancel);
    });
    // And then nothing is tried at all.
    runOptions(*window, [&](CDialogOutputSettings& d) {
        EXPECT_FALSE(d.tryingCompressors());
        EXPECT_EQ(runningTrials(d), 0);
        EXPECT_TRUE(row(d, kVideoCompressorList, 2)->isEnabled());
        click(d, kCancel);
    });
}

TEST_F(CompressorTrialsTest, NeverChosenCompressorsFollowTheFormatToH264AndAac) {
    if (!avcodec_find_encoder_by_name("libx264")) GTEST_SKIP() << "no libx264 in this build";
    const CompressorRegistry registry =
        registryWith({kDivx, {"libx264", "H.264 / AVC (libx264)", CompressorCategory::Video, 7}},
                     {{"adpcm_ms", "Microsoft ADPCM (adpcm_ms)", CompressorCategory::Audio, 1},
                      {"aac", "AAC (aac)", CompressorCategory::Audio, 7}});
    auto window = start(registry, 1);  // WMV, nothing chosen
    runOptions(*window, [&](CDialogOutputSettings& d) {
        QComboBox* format = list(d, kFormatList);
        format->setFocus();
        for (int i = 0; i < 4; ++i) QTest::keyClick(format, Qt::Key_Down);
        ASSERT_EQ(format->currentText(), "MP4");
        EXPECT_EQ(list(d, kVideoCompressorList)->currentIndex(), 2);
        EXPECT_EQ(list(d, kAudioCompressorList)->currentIndex(), 2);
        QTest::keyClick(format, Qt::Key_Up);
        ASSERT_EQ(format->currentText(), "MKV");
        EXPECT_EQ(list(d, kVideoCompressorList)->currentIndex(), 2);
        QTest::keyClick(format, Qt::Key_Up);
        ASSERT_EQ(format->currentText(), "AVI");
        EXPECT_EQ(list(d, kVideoCompressorList)->currentIndex(), 1) << "AVI prefers DivX";
        QTest::keyClick(format, Qt::Key_Down);
        QTest::keyClick(format, Qt::Key_Down);
        ASSERT_EQ(format->currentText(), "MP4");
        click(d, kOk);
    });
    EXPECT_EQ(store_.readInt(settings::kVideoCompress, settings::kCompressorNumber, 9), 1);
    EXPECT_EQ(store_.readInt(settings::kAudioCompress, settings::kCompressorNumber, 9), 1);
    ASSERT_NE(window->boundCompressors().video, nullptr);
    EXPECT_EQ(window->boundCompressors().video->device().encoder, "libx264");
    ASSERT_NE(window->boundCompressors().audio, nullptr);
    EXPECT_EQ(window->boundCompressors().audio->device().encoder, "aac");

    // A choice once made stays when the format changes.
    runOptions(*window, [&](CDialogOutputSettings& d) {
        QComboBox* format = list(d, kFormatList);
        format->setFocus();
        QTest::keyClick(format, Qt::Key_Up);
        QTest::keyClick(format, Qt::Key_Up);
        ASSERT_EQ(format->currentText(), "AVI");
        EXPECT_EQ(list(d, kVideoCompressorList)->currentIndex(), 2);
        click(d, kCancel);
    });
    EXPECT_TRUE(boxes_.messages.empty());
}
