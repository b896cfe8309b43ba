// SPDX-License-Identifier: GPL-3.0-or-later
// The Options command with the real dialog, and the compressors bound at start-up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "output/output_dialog_ids.h"
#include "output/output_settings_dialog.h"
#include "support/media/test_media.h"
#include "support/qt/modal_dialog.h"
#include "support/qt/recorders.h"
#include "support/qt/window_with_compressors.h"

using namespace media::codecs;

namespace {

using testqt::WindowWithCompressors;

CompressorRegistry registryWith(std::vector<CompressorDevice> video) {
    return CompressorRegistry(
        std::move(video), {},
        std::make_shared<const CodecStateStore>(testmedia::scratchDir("options_command")));
}

const CompressorDevice kPng{"png", "PNG (png)", CompressorCategory::Video, 5};
const CompressorDevice kDivx{"mpeg4", "DIVX 6.8 Codec (mpeg4)", CompressorCategory::Video, 7};
const CompressorDevice kMjpeg{"mjpeg", "Motion JPEG (mjpeg)", CompressorCategory::Video, 7};

class OptionsCommandTest : public ::testing::Test {
protected:
    OptionsCommandTest() : store_("KORVANE", "options_command_test") {
        QFile::remove(store_.filePath());
    }

    std::unique_ptr<WindowWithCompressors> start(const CompressorRegistry& registry) {
        auto w = std::make_unique<WindowWithCompressors>(store_, registry);
        w->initialise();
        return w;
    }

    // Runs the Options command; `act` works the dialog while it runs modally.
    static void runOptions(CSlidemintDlg& window, std::function<void(CDialogOutputSettings&)> act) {
        testqt::workModalDialog<CDialogOutputSettings>([&window] { window.runCommand(ids::kOptions); },
                                                       act);
    }
    static void press(CDialogOutputSettings& d, int id) {
        qobject_cast<QPushButton*>(d.control(id))->click();
    }
    static QLineEdit* edit(CDialogOutputSettings& d, int id) {
        return qobject_cast<QLineEdit*>(d.control(id));
    }
    static QComboBox* list(CDialogOutputSettings& d, int id) {
        return qobject_cast<QComboBox*>(d.control(id));
    }

    QByteArray storedBytes() const {
        QFile f(store_.filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    SettingsStore store_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(OptionsCommandTest, StartUpBindsThePreferredDivxDeviceWhenNothingIsStored) {
    const CompressorRegistry registry = registryWith({kPng, kDivx});
    auto window = start(registry);
    ASSERT_NE(window->boundCompressors().video, nullptr);
    EXPECT_EQ(window->boundCompressors().video->device().encoder, "mpeg4");
    EXPECT_EQ(window->outputOptions().useVideoCompressor, 1);
    EXPECT_EQ(window->boundCompressors().audio, nullptr);
    EXPECT_EQ(window->outputOptions().useAudioCompressor, 0) << "no audio device";
    EXPECT_FALSE(store_.contains(settings::kVideoCompress, settings::kCompressorNumber));
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(OptionsCommandTest, StartUpFollowsTheStoredNumbers) {
    const CompressorRegistry none = registryWith({});
    EXPECT_EQ(start(none)->outputOptions().useVideoCompressor, 0) << "no compressor installed";

    const CompressorRegistry three = registryWith({kPng, kMjpeg, kDivx});
    store_.writeInt(settings::kVideoCompress, settings::kCompressorNumber, 5);
    auto beyond = start(three);
    EXPECT_EQ(beyond->outputOptions().useVideoCompressor, 1)
        << "the renderer reports the missing compressor";
    EXPECT_EQ(beyond->boundCompressors().video, nullptr);

    store_.writeInt(settings::kVideoCompress, settings::kCompressorNumber, -1);
    auto off = start(three);
    EXPECT_EQ(off->outputOptions().useVideoCompressor, 0);
    EXPECT_EQ(off->boundCompressors().video, nullptr);

    store_.writeInt(settings::kVideoCompress, settings::kCompressorNumber, 1);
    auto chosen = start(three);
    ASSERT_NE(chosen->boundCompressors().video, nullptr);
    EXPECT_EQ(chosen->boundCompressors().video->device().encoder, "mjpeg");

    // A device whose encoder is gone is told at start, and nothing is bound.
    const CompressorRegistry gone =
        registryWith({{"no-such-encoder", "Gone", CompressorCategory::Video, 1}});
    store_.writeInt(settings::kVideoCompress, settings::kCompressorNumber, 0);
    auto failed = start(gone);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Failed to bind to object");
    EXPECT_EQ(failed->boundCompressors().video, nullptr);
}

TEST_F(OptionsCommandTest, OkTakesTheDialogsValuesStoresThemAndRecomposesTheStatusLine) {
    const CompressorRegistry registry = registryWith({kPng, kDivx});
    store_.writeInt(settings::kSettings, settings::kOutputFormat, 0);
    auto window = start(registry);
    const auto startUpCompressor = window->boundCompressors().video;
    runOptions(*window, [](CDialogOutputSettings& d) {
        list(d, outputdlg::kResolutionList)->setCurrentIndex(10);
        edit(d, outputdlg::kWidth)->setText("1001");
        edit(d, outputdlg::kHeight)->setText("33");
        list(d, outputdlg::kVideoCompressorList)->setCurrentIndex(1);
        edit(d, outputdlg::kOutputFile)->setText("/tmp/out/joined.avi");
        press(d, outputdlg::kOk);
    });
    const OutputOptions& o = window->outputOptions();
    EXPECT_EQ(o.outputWidth, 1000);
    EXPECT_EQ(o.outputHeight, 32);
    EXPECT_EQ(o.outputName, "/tmp/out/joined.avi");
    EXPECT_EQ(o.outputFormat, 0) << "the list shows the stored AVI";
    EXPECT_EQ(o.useVideoCompressor, 1);
    ASSERT_NE(window->boundCompressors().video, nullptr);
    EXPECT_EQ(window->boundCompressors().video->device().encoder, "png");
    EXPECT_NE(window->boundCompressors().video, startUpCompressor);
    EXPECT_EQ(window->statusText(), "Output file: /tmp/out/joined.avi     Resolution: 1000*32     Length: 00:00:00");

    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kOutputWidth, 0), 1000);
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kOutputHeight, 0), 32);
    EXPECT_EQ(store_.readText(settings::kSettings, settings::kOutputName, ""),
              "/tmp/out/joined.avi");
    EXPECT_EQ(store_.readText(settings::kSettings, settings::kOutputFrameRate, ""), "23.976000");
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kOutputFrameRateIndex, -9), 0);
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kVideoBitrate, 0), 798720);
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kAudioBitrate, 0), 128000);
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kOutputFormat, 9), 0);
    EXPECT_EQ(store_.readInt(settings::kVideoCompress, settings::kCompressorNumber, 9), 0);
    EXPECT_EQ(store_.readInt(settings::kAudioCompress, settings::kCompressorNumber, 9), -1);
}

TEST_F(OptionsCommandTest, CancelLeavesTheOptionsTheStoreAndTheCompressorsAlone) {
    const CompressorRegistry registry = registryWith({kPng, kDivx});
    store_.writeInt(settings::kSettings, settings::kOutputFormat, 1);
    auto window = start(registry);
    const OutputOptions before = window->outputOptions();
    const QString status = window->statusText();
    const QByteArray stored = storedBytes();
    const auto compressor = window->boundCompressors().video;
    runOptions(*window, [](CDialogOutputSettings& d) {
        list(d, outputdlg::kFormatList)->setCurrentIndex(1);
        list(d, outputdlg::kResolutionList)->setCurrentIndex(0);
        list(d, outputdlg::kFrameRateList)->setCurrentIndex(4);
        edit(d, outputdlg::kVideoBitrate)->setText("1");
        press(d, outputdlg::kDefault);
        press(d, outputdlg::kCancel);
    });
    const OutputOptions& after = window->outputOptions();
    EXPECT_EQ(after.outputName, before.outputName);
    EXPECT_EQ(after.outputFormat, before.outputFormat);
    EXPECT_EQ(after.outputWidth, before.outputWidth);
    EXPECT_DOUBLE_EQ(after.frameRate, before.frameRate);
    EXPECT_EQ(after.videoBitrate, before.videoBitrate);
    EXPECT_EQ(after.useVideoCompressor, before.useVideoCompressor);
    EXPECT_EQ(window->statusText(), status);
    EXPECT_EQ(storedBytes(), stored);
    EXPECT_EQ(window->boundCompressors().video, compressor);
}

TEST_F(OptionsCommandTest, TheOriginalRowsAndAClickedCopyBoxAreKeptAndStored) {
    const CompressorRegistry registry =
        registryWith({{"libx264", "H.264 / AVC (libx264)", CompressorCategory::Video, 7}, kDivx});
    store_.writeInt(settings::kSettings, settings::kOutputFormat, 4);  // MP4
    store_.writeInt(settings::kSettings, settings::kOutputFrameRateIndex, 6);
    store_.writeInt(settings::kSettings, settings::kOutputWidth, 0);
    store_.writeInt(settings::kSettings, settings::kOutputHeight, 0);
    auto window = start(registry);
    EXPECT_EQ(window->outputOptions().copyUnchanged, 1) << "an older settings file copies";
    runOptions(*window, [](CDialogOutputSettings& d) {
        EXPECT_EQ(list(d, outputdlg::kResolutionList)->currentText(), "Original size");
        EXPECT_EQ(list(d, outputdlg::kFrameRateList)->currentText(), "Original frame rate");
        auto* copy = qobject_cast<QCheckBox*>(d.control(outputdlg::kCopyUnchanged));
        EXPECT_TRUE(copy->isChecked() && copy->isEnabled()) << "MP4 with libx264";
        list(d, outputdlg::kFormatList)->setCurrentIndex(2);  // AVI
        EXPECT_FALSE(copy->isEnabled());
        list(d, outputdlg::kFormatList)->setCurrentIndex(4);  // MP4
        QTest::mouseClick(copy, Qt::LeftButton, {}, QPoint(6, copy->height() / 2));
        QTest::mouseClick(d.control(outputdlg::kOk), Qt::LeftButton);
    });
    const OutputOptions& o = window->outputOptions();
    EXPECT_EQ(o.copyUnchanged, 0);
    EXPECT_EQ(o.outputWidth, 0);
    EXPECT_EQ(o.frameRateIndex, 6);
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kCopyUnchanged, 9), 0);
    EXPECT_EQ(store_.readInt(settings::kSettings, settings::kOutputFrameRateIndex, 9), 6);
    EXPECT_TRUE(boxes_.messages.empty());
}
