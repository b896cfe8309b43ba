// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_settings_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>
#include <map>
#include <optional>

#include "output/compressor_settings_dialog.h"
#include "output/output_dialog_ids.h"
#include "platform/application_title.h"
#include "platform/file_dialogs.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"

using namespace media::codecs;
using namespace outputdlg;

namespace {

class MemorySettings : public output::OutputSettingsStore {
public:
    int compressorNumber(CompressorCategory category) const override {
        return category == CompressorCategory::Video ? video : audio;
    }
    void write(const output::StoredOutputValues& values) override { written = values; }

    int video = -2;
    int audio = -2;
    std::optional<output::StoredOutputValues> written;
};

class SaveDialogAnswer : public platform::FileDialogs {
public:
    SaveDialogAnswer() { previous_ = platform::setFileDialogs(this); }
    ~SaveDialogAnswer() override { platform::setFileDialogs(previous_); }
    QStringList getOpenFileNames(const platform::FileDialogRequest&) override { return {}; }
    QString getOpenFileName(const platform::FileDialogRequest&) override { return {}; }
    QString getSaveFileName(const platform::FileDialogRequest& r) override {
        requests.push_back(r);
        return answer;
    }
    QString answer;
    std::vector<platform::FileDialogRequest> requests;

private:
    platform::FileDialogs* previous_;
};

// Two video devices, the second a DivX one; one audio device.
CompressorRegistry twoVideoDevices(const std::string& scratch) {
    return CompressorRegistry(
        {{"png", "PNG (png)", CompressorCategory::Video, 5},
         {"mpeg4", "Fast dIvX 6.8 (mpeg4)", CompressorCategory::Video, 7}},
        {{"pcm_s16le", "PCM 16-bit (pcm_s16le)", CompressorCategory::Audio, 7}},
        std::make_shared<const CodecStateStore>(testmedia::scratchDir(scratch)));
}

OutputOptions wmvOptions() {
    OutputOptions o;
    o.outputName = "/tmp/v/video_join.wmv";
    o.outputFormat = 1;
    o.videoBitrate = 798720;
    return o;
}

class OutputDialogTest : public ::testing::Test {
protected:
    OutputDialogTest() : registry_(twoVideoDevices("output_dialog")) {}

    std::unique_ptr<CDialogOutputSettings> open(const OutputOptions& o) {
        return std::make_unique<CDialogOutputSettings>(o, bound_, settings_, registry_);
    }
    static QLineEdit* edit(CDialogOutputSettings& d, int id) {
        return qobject_cast<QLineEdit*>(d.control(id));
    }
    static QComboBox* list(CDialogOutputSettings& d, int id) {
        return qobject_cast<QComboBox*>(d.control(id));
    }
    static void press(CDialogOutputSettings& d, int id) {
        qobject_cast<QPushButton*>(d.control(id))->click();
    }
    static bool shown(CDialogOutputSettings& d, int id) { return !d.control(id)->isHidden(); }
    // Waits for the answers of the compressor trials.
    static bool settled(CDialogOutputSettings& d) {
        return QTest::qWaitFor([&] { return !d.tryingCompressors(); }, 20000);
    }

    CompressorRegistry registry_;
    BoundCompressors bound_;
    MemorySettings settings_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(OutputDialogTest, OpensWithTheRecordsValues) {
    OutputOptions o = wmvOptions();
    o.outputWidth = 1024;
    o.outputHeight = 768;
    o.frameRateIndex = 5;
    o.frameRate = 12.5;
    o.resizeMode = 0;
    auto d = open(o);
    EXPECT_EQ(d->windowTitle(), "Select Output options");
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/tmp/v/video_join.wmv");
    EXPECT_EQ(list(*d, kResolutionList)->currentIndex(), 10) << "no preset is 1024x768";
    EXPECT_EQ(list(*d, kResolutionList)->itemText(10), "Custom size");
    EXPECT_EQ(list(*d, kResolutionList)->itemText(8), "1280*720");
    EXPECT_EQ(list(*d, kResolutionList)->itemText(9), "1920*1080");
    EXPECT_TRUE(shown(*d, kWidth));
    EXPECT_EQ(edit(*d, kWidth)->text(), "1024");
    EXPECT_EQ(edit(*d, kHeight)->text(), "768");
    EXPECT_EQ(list(*d, kFrameRateList)->currentIndex(), 5);
    EXPECT_EQ(edit(*d, kFrameRate)->text(), "12.500");
    EXPECT_TRUE(shown(*d, kFrameRate));
    EXPECT_EQ(list(*d, kResizeList)->currentText(), "Stretch");
    EXPECT_EQ(edit(*d, kVideoBitrate)->text(), "780");
    EXPECT_EQ(list(*d, kAudioBitrateList)->currentText(), "128");
    EXPECT_FALSE(shown(*d, kAudioBitrateShadow));
    EXPECT_FALSE(shown(*d, kScratchList));
    EXPECT_EQ(list(*d, kFormatList)->count(), 7);
    EXPECT_EQ(list(*d, kFormatList)->currentText(), "WMV");
    for (int id : {kVideoBitrate, kAudioBitrateList, kVideoBitrateLabel, kAudioBitrateUnit})
        EXPECT_TRUE(shown(*d, id));
    for (int id : {kVideoCompressorList, kAudioCompressorList, kSettings, kCompressorNote,
                   kVideoCompressorLabel})
        EXPECT_FALSE(shown(*d, id));
    EXPECT_TRUE(boxes_.messages.empty());

    o.outputWidth = 352;
    o.outputHeight = 240;
    o.frameRateIndex = 2;
    o.frameRate = 25.0;
    auto preset = open(o);
    EXPECT_EQ(list(*preset, kResolutionList)->currentIndex(), 7);
    EXPECT_FALSE(shown(*preset, kWidth));
    EXPECT_FALSE(shown(*preset, kFrameRate));
}

TEST_F(OutputDialogTest, OkStoresFrameSidesRoundedToMultiplesOfEight) {
    auto d = open(wmvOptions());
    list(*d, kResolutionList)->setCurrentIndex(10);
    edit(*d, kWidth)->setText("1001");
    edit(*d, kHeight)->setText("33");
    press(*d, kOk);
    ASSERT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->options().outputWidth, 1000);
    EXPECT_EQ(d->options().outputHeight, 32);
    ASSERT_TRUE(settings_.written);
    EXPECT_EQ(settings_.written->outputWidth, 1000);
    EXPECT_EQ(settings_.written->outputHeight, 32);

    for (const char* typed : {"15", "-50", "abc"}) {
        auto again = open(wmvOptions());
        list(*again, kResolutionList)->setCurrentIndex(10);
        edit(*again, kWidth)->setText(typed);
        edit(*again, kHeight)->setText(typed);
        press(*again, kOk);
        EXPECT_EQ(again->options().outputWidth, 16) << typed;
        EXPECT_EQ(settings_.written->outputHeight, 16) << typed;
    }
}

TEST_F(OutputDialogTest, ATooSmallFrameRateKeepsTheDialogOpenAndStoresNothing) {
    auto d = open(wmvOptions());
    list(*d, kFrameRateList)->setCurrentIndex(5);
    EXPECT_TRUE(shown(*d, kFrameRate));
    EXPECT_EQ(edit(*d, kFrameRate)->text(), "23.976");
    edit(*d, kFrameRate)->setText("0.0005");
    press(*d, kOk);
    EXPECT_EQ(d->result(), 0);
    EXPECT_FALSE(settings_.written);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "The frame rate is too small!");
    EXPECT_EQ(boxes_.messages[0].caption, platform::applicationTitle());
    EXPECT_EQ(boxes_.messages[0].owner, d.get());
    EXPECT_EQ(bound_.video, nullptr) << "no compressor was looked up";

    // The custom row now starts from the refused value.
    list(*d, kFrameRateList)->setCurrentIndex(0);
    list(*d, kFrameRateList)->setCurrentIndex(5);
    EXPECT_EQ(edit(*d, kFrameRate)->text(), "0.001") << "%.3f of 0.0005";
    edit(*d, kFrameRate)->setText("0.001");
    press(*d, kOk);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(d->options().frameRate, 0.001);
    EXPECT_EQ(d->options().frameRateIndex, 5);
    EXPECT_EQ(settings_.written->frameRate, "0.001000");
    EXPECT_EQ(settings_.written->frameRateIndex, 5);
}

TEST_F(OutputDialogTest, PresetRowsFillTheirValuesAndTheCustomRowsTheRecords) {
    OutputOptions o = wmvOptions();
    o.outputWidth = 1024;
    o.outputHeight = 768;
    auto d = open(o);
    list(*d, kResolutionList)->setCurrentIndex(1);
    EXPECT_EQ(edit(*d, kWidth)->text(), "640");
    EXPECT_FALSE(shown(*d, kWidth));
    edit(*d, kWidth)->setText("10");
    list(*d, kResolutionList)->setCurrentIndex(10);
    EXPECT_EQ(edit(*d, kWidth)->text(), "1024");
    EXPECT_TRUE(shown(*d, kHeight));
    list(*d, kResolutionList)->setCurrentIndex(4);

    list(*d, kFrameRateList)->setCurrentIndex(3);
    EXPECT_EQ(edit(*d, kFrameRate)->text(), "29.970000");
    list(*d, kAudioBitrateList)->setCurrentIndex(3);
    list(*d, kResizeList)->setCurrentIndex(1);
    edit(*d, kVideoBitrate)->setText("100");
    press(*d, kOk);
    const OutputOptions& r = d->options();
    EXPECT_EQ(r.outputWidth, 480);
    EXPECT_EQ(r.outputHeight, 576);
    EXPECT_DOUBLE_EQ(r.frameRate, 29.97);
    EXPECT_EQ(r.frameRateIndex, 3);
    EXPECT_EQ(r.resizeMode, 0);
    EXPECT_EQ(r.videoBitrate, 102400);
    EXPECT_EQ(r.audioBitrate, 320000);
    ASSERT_TRUE(settings_.written);
    EXPECT_EQ(settings_.written->frameRate, "29.970000");
    EXPECT_EQ(settings_.written->videoBitrate, 102400);
    EXPECT_EQ(settings_.written->audioBitrate, 320000);
    EXPECT_EQ(settings_.written->outputName, "/tmp/v/video_join.wmv");
    EXPECT_EQ(settings_.written->outputFormat, 1);
}

TEST_F(OutputDialogTest, EveryFormatIsListedShownAndStored) {
    const char* names[] = {"WMV", "ASF", "AVI", "MKV", "MP4", "OGM", "DSM"};
    const int codes[] = {1, 3, 0, 2, 4, 6, 5};
    const char* extensions[] = {".wmv", ".asf", ".avi", ".mkv", ".mp4", ".ogm", ".dsm"};
    for (int row = 0; row < 7; ++row) {
        OutputOptions o = wmvOptions();
        o.outputFormat = codes[row];
        auto d = open(o);
        QComboBox* format = list(*d, kFormatList);
        ASSERT_EQ(format->count(), 7);
        EXPECT_EQ(format->itemText(row), names[row]);
        EXPECT_EQ(format->currentText(), names[row]) << "the stored format is shown";
        EXPECT_EQ(edit(*d, kOutputFile)->text(), QString("/tmp/v/video_join") + extensions[row]);
        const bool windowsMedia = codes[row] == 1 || codes[row] == 3;
        const bool ogg = codes[row] == 6;
        EXPECT_EQ(shown(*d, kVideoBitrate), windowsMedia) << names[row];
        EXPECT_EQ(shown(*d, kVideoCompressorLabel), !windowsMedia) << names[row];
        EXPECT_EQ(shown(*d, kVideoCompressorList), !windowsMedia && !ogg) << names[row];
        EXPECT_EQ(shown(*d, kOggVideoCodec), ogg) << names[row];
        press(*d, kOk);
        EXPECT_EQ(d->options().outputFormat, codes[row]);
        EXPECT_EQ(settings_.written->outputFormat, codes[row]);
    }
    EXPECT_TRUE(boxes_.messages.empty());

    // Choosing a format in the list renames the file and lays the dialog out for it.
    auto changed = open(wmvOptions());
    list(*changed, kFormatList)->setCurrentIndex(4);
    EXPECT_EQ(edit(*changed, kOutputFile)->text(), "/tmp/v/video_join.mp4");
    EXPECT_TRUE(shown(*changed, kVideoCompressorList));
    list(*changed, kFormatList)->setCurrentIndex(5);
    EXPECT_FALSE(shown(*changed, kVideoCompressorList));
    EXPECT_FALSE(changed->control(kOggAudioCodec)->isEnabled()) << "Ogg's codecs are fixed";
    EXPECT_EQ(list(*changed, kOggAudioCodec)->currentText(), "Vorbis (libvorbis)");
    press(*changed, kOk);
    EXPECT_EQ(changed->options().outputFormat, 6);
    EXPECT_EQ(changed->options().outputName, "/tmp/v/video_join.ogm");
}

TEST_F(OutputDialogTest, ATypedNameGetsTheChosenFormatsExtension) {
    auto d = open(wmvOptions());
    edit(*d, kOutputFile)->setText("/tmp/v/typed.mp4");
    press(*d, kOk);
    EXPECT_EQ(d->options().outputName, "/tmp/v/typed.wmv");
    EXPECT_EQ(settings_.written->outputName, "/tmp/v/typed.wmv");
}

TEST_F(OutputDialogTest, TheExtensionIsCutOnlyWithinTheFileName) {
    OutputOptions o = wmvOptions();
    o.outputName = "/home/j.doe/Videos/trip";
    auto d = open(o);
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/home/j.doe/Videos/trip.wmv");
}

TEST_F(OutputDialogTest, AnUnknownFormatIsReportedAndLeavesTheLayout) {
    OutputOptions o = wmvOptions();
    o.outputFormat = 9;
    auto d = open(o);
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[0].text, "Does not support the video format");
    EXPECT_EQ(boxes_.messages[0].caption, "Error");
    EXPECT_EQ(boxes_.messages[1].text, "unknown error");
    EXPECT_EQ(boxes_.messages[1].caption, "error");
    EXPECT_EQ(boxes_.messages[1].owner, d.get());
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/tmp/v/video_join.wmv");

    // Browse warns, then offers every file.
    SaveDialogAnswer save;
    save.answer = "/tmp/v/other.avi";
    press(*d, kBrowse);
    ASSERT_EQ(save.requests.size(), 1u);
    EXPECT_TRUE(save.requests[0].filters.isEmpty());
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/tmp/v/other.avi");

    EXPECT_EQ(list(*d, kFormatList)->currentText(), "WMV");
    press(*d, kOk);
    EXPECT_EQ(d->options().outputFormat, 1) << "repaired to WMV";
    EXPECT_EQ(d->options().outputName, "/tmp/v/other.wmv");
}

TEST_F(OutputDialogTest, AnUnlistedAudioBitrateIsKept) {
    OutputOptions o = wmvOptions();
    o.audioBitrate = 96000;
    auto d = open(o);
    EXPECT_EQ(list(*d, kAudioBitrateList)->currentIndex(), -1);
    EXPECT_EQ(edit(*d, kAudioBitrateShadow)->text(), "96");
    press(*d, kOk);
    EXPECT_EQ(d->options().audioBitrate, 96000);
    EXPECT_EQ(settings_.written->audioBitrate, 96000);
}

TEST_F(OutputDialogTest, ATooLongOutputPathIsRefusedNotCut) {
    auto d = open(wmvOptions());
    const QString longName = "/tmp/" + QString(300, 'a') + ".wmv";
    edit(*d, kOutputFile)->setText(longName);
    press(*d, kOk);
    EXPECT_EQ(d->result(), 0);
    EXPECT_FALSE(settings_.written);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.startsWith("The path of the output file is too long"));
    EXPECT_EQ(edit(*d, kOutputFile)->text(), longName);
}

TEST_F(OutputDialogTest, DefaultTouchesOnlyTheBitratesForWindowsMedia) {
    OutputOptions o = wmvOptions();
    o.videoBitrate = 2048;
    o.audioBitrate = 64000;
    auto d = open(o);
    list(*d, kResolutionList)->setCurrentIndex(2);
    edit(*d, kOutputFile)->setText("/tmp/typed.wmv");
    press(*d, kDefault);
    EXPECT_EQ(edit(*d, kVideoBitrate)->text(), "780");
    EXPECT_EQ(list(*d, kAudioBitrateList)->currentText(), "128");
    EXPECT_EQ(list(*d, kResolutionList)->currentIndex(), 2);
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/tmp/typed.wmv");

    settings_.video = -1;
    settings_.audio = -1;
    o.outputFormat = 2;
    auto mkv = open(o);
    EXPECT_EQ(list(*mkv, kVideoCompressorList)->currentIndex(), 0);
    press(*mkv, kDefault);
    EXPECT_EQ(list(*mkv, kVideoCompressorList)->currentIndex(), 2) << "the DivX device";
    EXPECT_EQ(list(*mkv, kAudioCompressorList)->currentIndex(), 0) << "no Microsoft ADPCM";
    EXPECT_EQ(edit(*mkv, kVideoBitrate)->text(), "2");
}

TEST_F(OutputDialogTest, BrowseOffersTheFormatsFilterAndAppliesItsExtension) {
    SaveDialogAnswer save;
    auto d = open(wmvOptions());
    press(*d, kBrowse);
    ASSERT_EQ(save.requests.size(), 1u);
    EXPECT_EQ(save.requests[0].title, "Select Output File Name");
    EXPECT_EQ(save.requests[0].folder, "/tmp/v");
    EXPECT_EQ(save.requests[0].filters, QStringList{"Windows Media Video file (*.wmv)"});
    EXPECT_EQ(save.requests[0].owner, d.get());
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/tmp/v/video_join.wmv") << "cancelled";

    save.answer = "/tmp/w/new.name.mp4";
    list(*d, kFormatList)->setCurrentIndex(1);
    press(*d, kBrowse);
    EXPECT_EQ(save.requests[1].filters, QStringList{"Advanced Systems Format file(*.asf)"});
    EXPECT_EQ(edit(*d, kOutputFile)->text(), "/tmp/w/new.name.asf");
    EXPECT_TRUE(boxes_.messages.empty());

    OutputOptions bare = wmvOptions();
    bare.outputName = "clip";
    auto noFolder = open(bare);
    press(*noFolder, kBrowse);
    EXPECT_EQ(save.requests[2].folder, ".");
}

TEST_F(OutputDialogTest, ADivxDeviceSecondInTheListIsPreselectedAndBoundOnOk) {
    auto d = open(wmvOptions());
    QComboBox* video = list(*d, kVideoCompressorList);
    ASSERT_EQ(video->count(), 3);
    EXPECT_EQ(video->itemText(0), "Full frames (uncompressed)");
    EXPECT_EQ(video->currentIndex(), 2);
    EXPECT_EQ(list(*d, kAudioCompressorList)->itemText(0), "Uncompressed Audio");
    EXPECT_EQ(list(*d, kAudioCompressorList)->currentIndex(), 0) << "no preferred audio device";
    press(*d, kOk);
    ASSERT_NE(bound_.video, nullptr);
    EXPECT_EQ(bound_.video->device().encoder, "mpeg4");
    EXPECT_EQ(d->options().useVideoCompressor, 1);
    EXPECT_EQ(d->options().useAudioCompressor, 0);
    EXPECT_EQ(settings_.written->videoCompressorNumber, 1);
    EXPECT_EQ(settings_.written->audioCompressorNumber, -1);
}

TEST_F(OutputDialogTest, StoredNumbersSelectTheirRowsOrNone) {
    settings_.video = 5;  // beyond the two devices
    settings_.audio = 0;
    bound_.video =
        std::make_shared<const Compressor>(registry_.devices(CompressorCategory::Video)[0],
                                           avcodec_find_encoder_by_name("png"), registry_.store());
    const auto before = bound_.video;
    auto d = open(wmvOptions());
    EXPECT_EQ(list(*d, kVideoCompressorList)->currentIndex(), -1);
    EXPECT_EQ(list(*d, kAudioCompressorList)->currentIndex(), 1);
    press(*d, kOk);
    EXPECT_EQ(d->options().useVideoCompressor, 0);
    EXPECT_EQ(bound_.video, before) << "nothing looked up without a row";
    EXPECT_EQ(settings_.written->videoCompressorNumber, -2);
    EXPECT_EQ(d->options().useAudioCompressor, 1);
    ASSERT_NE(bound_.audio, nullptr);
    EXPECT_EQ(bound_.audio->device().encoder, "pcm_s16le");

    settings_.video = -1;
    auto none = open(wmvOptions());
    EXPECT_EQ(list(*none, kVideoCompressorList)->currentIndex(), 0);
    press(*none, kOk);
    EXPECT_EQ(none->options().useVideoCompressor, 0);
    EXPECT_EQ(settings_.written->videoCompressorNumber, -1);
}

TEST_F(OutputDialogTest, WithoutCompressorsOnlyTheUncompressedRowsAreListed) {
    CompressorRegistry empty({}, {}, registry_.store());
    CDialogOutputSettings d(wmvOptions(), bound_, settings_, empty);
    EXPECT_EQ(list(d, kVideoCompressorList)->count(), 1);
    EXPECT_EQ(list(d, kVideoCompressorList)->currentIndex(), 0);
    EXPECT_EQ(list(d, kAudioCompressorList)->count(), 1);
    press(d, kDefault);
    press(d, kOk);
    EXPECT_EQ(d.options().useVideoCompressor, 0);
    EXPECT_EQ(d.options().useAudioCompressor, 0);
    EXPECT_EQ(bound_.video, nullptr);
}

TEST_F(OutputDialogTest, AFailedLookupIsToldAndLeavesNothingBound) {
    CompressorRegistry gone({{"no-such-encoder", "Gone DivX", CompressorCategory::Video, 1}}, {},
                            registry_.store());
    bound_.video =
        std::make_shared<const Compressor>(registry_.devices(CompressorCategory::Video)[0],
                                           avcodec_find_encoder_by_name("png"), registry_.store());
    CDialogOutputSettings d(wmvOptions(), bound_, settings_, gone);
    press(d, kOk);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Failed to bind to object");
    EXPECT_EQ(boxes_.messages[0].caption, platform::applicationTitle());
    EXPECT_EQ(bound_.video, nullptr) << "the old compressor is released before the lookup";
    EXPECT_EQ(d.options().useVideoCompressor, 1);
}

TEST_F(OutputDialogTest, CancelStoresNothingAndBindsNothing) {
    OutputOptions o = wmvOptions();
    auto d = open(o);
    list(*d, kFormatList)->setCurrentIndex(1);
    edit(*d, kWidth)->setText("64");
    press(*d, kDefault);
    press(*d, kCancel);
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(settings_.written);
    EXPECT_EQ(bound_.video, nullptr);
    EXPECT_EQ(bound_.audio, nullptr);
}

TEST_F(OutputDialogTest, AConfigurationAcceptedInSettingsReachesTheBoundEncoder) {
    OutputOptions o = wmvOptions();
    o.outputFormat = 0;
    auto d = open(o);
    ASSERT_EQ(list(*d, kVideoCompressorList)->currentIndex(), 2);
    int shown = 0;
    d->setCompressorDialogRunner([&](CompressorSettingsDialog& codec) {
        ++shown;
        auto* rate = codec.findChild<QComboBox*>("rateControl");
        rate->setCurrentIndex(rate->findText("Target bitrate"));
        codec.findChild<QSpinBox*>("bitrate")->setValue(48);
        codec.accept();
        return codec.result();
    });
    press(*d, kSettings);
    EXPECT_EQ(shown, 1);
    press(*d, kOk);
    ASSERT_NE(bound_.video, nullptr);
    media::av::CodecPtr encoder;
    ASSERT_TRUE(
        bound_.video->openEncoder(VideoStreamParams{352, 240, {25, 1}, false}, encoder).isOk());
    EXPECT_EQ(encoder->bit_rate, 48'000);
    EXPECT_FALSE(encoder->flags & AV_CODEC_FLAG_QSCALE);

    // The synthetic row matches no codec: nothing opens.
    auto other = open(o);
    list(*other, kVideoCompressorList)->setCurrentIndex(0);
    other->setCompressorDialogRunner([&](CompressorSettingsDialog& codec) {
        ++shown;
        return codec.result();
    });
    press(*other, kSettings);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(OutputDialogTest, RowsThatCannotWriteTheOutputAreGreyedWithTheReason) {
    CompressorRegistry registry(
        {{"h261", "H.261 (h261)", CompressorCategory::Video, 1},
         {"mpeg4", "DivX-compatible MPEG-4 (mpeg4)", CompressorCategory::Video, 7}},
        {{"adpcm_ms", "Microsoft ADPCM (adpcm_ms)", CompressorCategory::Audio, 3}}, registry_.store());
    if (!avcodec_find_encoder_by_name("h261")) GTEST_SKIP() << "no H.261 encoder";
    settings_.video = 0;  // H.261, which takes only the CIF sizes
    OutputOptions o = wmvOptions();
    o.outputFormat = 0;
    o.outputWidth = 352;
    o.outputHeight = 240;
    CDialogOutputSettings d(o, bound_, settings_, registry);
    QComboBox* video = list(d, kVideoCompressorList);
    auto* model = qobject_cast<QStandardItemModel*>(video->model());
    ASSERT_TRUE(model);
    EXPECT_EQ(model->item(1)->text(), "H.261 (h261) (trying)");
    EXPECT_TRUE(model->item(1)->isEnabled()) << "nothing is known yet";
    ASSERT_TRUE(settled(d));
    EXPECT_EQ(model->item(1)->text(), "H.261 (h261)");
    EXPECT_FALSE(model->item(1)->isEnabled());
    EXPECT_TRUE(model->item(1)->toolTip().contains("352*240")) << model->item(1)->toolTip().toStdString();
    EXPECT_TRUE(model->item(2)->isEnabled());
    EXPECT_EQ(video->currentIndex(), 2) << "the greyed choice gave way to the preferred one";

    list(d, kResolutionList)->setCurrentIndex(6);  // 352 * 288
    ASSERT_TRUE(settled(d));
    EXPECT_TRUE(model->item(1)->isEnabled()) << model->item(1)->toolTip().toStdString();
    EXPECT_TRUE(model->item(1)->toolTip().isEmpty());

    // MP4 cannot hold Microsoft ADPCM nor uncompressed sound.
    list(d, kFormatList)->setCurrentIndex(4);
    ASSERT_TRUE(settled(d));
    auto* audio = qobject_cast<QStandardItemModel*>(list(d, kAudioCompressorList)->model());
    EXPECT_FALSE(audio->item(1)->isEnabled());
    EXPECT_TRUE(audio->item(1)->toolTip().contains("MP4")) << audio->item(1)->toolTip().toStdString();
    EXPECT_FALSE(audio->item(0)->isEnabled());
    press(d, kOk);
    EXPECT_EQ(settings_.written->videoCompressorNumber, 1) << "what the list shows";
    EXPECT_EQ(settings_.written->outputFormat, 4);
}

TEST_F(OutputDialogTest, SizesBeyond8192AreRefusedByOkAndNeverTried) {
    OutputOptions o = wmvOptions();
    o.outputFormat = 0;
    auto d = open(o);
    list(*d, kResolutionList)->setCurrentIndex(10);
    edit(*d, kWidth)->setText("9000");
    edit(*d, kHeight)->setText("240");
    emit edit(*d, kWidth)->editingFinished();
    EXPECT_FALSE(d->tryingCompressors()) << "no trial for a size OK refuses";
    press(*d, kOk);
    EXPECT_EQ(d->result(), 0);
    EXPECT_FALSE(settings_.written);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "The frame size 9000*240 is too large: a side can be at most 8192.");

    edit(*d, kWidth)->setText("8192");
    press(*d, kOk);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(settings_.written->outputWidth, 8192);
}
