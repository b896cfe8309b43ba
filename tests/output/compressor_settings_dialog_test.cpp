// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/compressor_settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "media/codecs/compressor_registry.h"
#include "output/compressor_configure.h"
#include "support/media/test_media.h"

using namespace media::codecs;

namespace {

template <typename T>
T* control(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(name);
}

void chooseText(QComboBox* box, const QString& text) {
    ASSERT_NE(box, nullptr);
    const int row = box->findText(text);
    ASSERT_GE(row, 0) << text.toStdString();
    box->setCurrentIndex(row);
}

struct ConfigureFixture {
    std::shared_ptr<const CodecStateStore> store;
    CompressorRegistry registry;
    CodecStateBuffer buffer;
    explicit ConfigureFixture(const std::string& name)
        : store(std::make_shared<const CodecStateStore>(testmedia::scratchDir(name))),
          registry({{"mpeg4", "DivX-compatible MPEG-4 (mpeg4)", CompressorCategory::Video, 7},
                    {"png", "PNG (png)", CompressorCategory::Video, 5}},
                   {}, store) {}
};

}  // namespace

TEST(CompressorSettingsDialog, ShowsTheOptionsTheCodecHas) {
    const CodecOptions x264 = codecOptionsFor("libx264");
    CompressorSettingsDialog full(x264, x264.defaults);
    for (const char* name :
         {"rateControl", "bitrate", "quality", "keyFrameInterval", "preset", "tune", "defaults"})
        EXPECT_NE(full.findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(control<QComboBox>(full, "preset")->currentText(), "medium");
    EXPECT_EQ(control<QSpinBox>(full, "quality")->maximum(), 51);
    EXPECT_EQ(full.settings(), x264.defaults);

    const CodecOptions huffyuv = codecOptionsFor("huffyuv");
    CompressorSettingsDialog lossless(huffyuv, huffyuv.defaults);
    EXPECT_EQ(lossless.findChild<QWidget*>("bitrate"), nullptr);
    EXPECT_EQ(lossless.findChild<QWidget*>("rateControl"), nullptr);
    EXPECT_NE(lossless.findChild<QWidget*>("preset"), nullptr);
    EXPECT_EQ(lossless.settings(), huffyuv.defaults);

    const CodecOptions mjpeg = codecOptionsFor("mjpeg");
    CompressorSettingsDialog intra(mjpeg, mjpeg.defaults);
    EXPECT_EQ(intra.findChild<QWidget*>("keyFrameInterval"), nullptr)
        << "every MJPEG frame is a key frame";
}

TEST(CompressorSettingsDialog, EditsAndRestoresTheSettings) {
    const CodecOptions o = codecOptionsFor("libx264");
    EncoderSettings current = o.defaults;
    current.quality = 30;
    current.tune = "film";
    CompressorSettingsDialog dlg(o, current);
    EXPECT_EQ(dlg.settings(), current);
    EXPECT_TRUE(control<QSpinBox>(dlg, "quality")->isEnabled());
    EXPECT_FALSE(control<QSpinBox>(dlg, "bitrate")->isEnabled());

    chooseText(control<QComboBox>(dlg, "rateControl"), "Target bitrate");
    EXPECT_TRUE(control<QSpinBox>(dlg, "bitrate")->isEnabled());
    EXPECT_FALSE(control<QSpinBox>(dlg, "quality")->isEnabled());
    control<QSpinBox>(dlg, "bitrate")->setValue(900);
    chooseText(control<QComboBox>(dlg, "tune"), "(none)");
    EncoderSettings edited = dlg.settings();
    EXPECT_EQ(edited.rateControl, RateControl::Bitrate);
    EXPECT_EQ(edited.bitrate, 900'000);
    EXPECT_EQ(edited.tune, "");
    EXPECT_TRUE(o.accepts(edited));

    control<QPushButton>(dlg, "defaults")->click();
    EXPECT_EQ(dlg.settings(), o.defaults);

    // Settings the codec does not take (a damaged state) open as its defaults.
    EncoderSettings broken = o.defaults;
    broken.preset = "warp9";
    CompressorSettingsDialog fromBroken(o, broken);
    EXPECT_EQ(fromBroken.settings(), o.defaults);
}

TEST(ConfigureVideoCompressor, AnAcceptedLowerBitrateReachesTheRendersEncoder) {
    ConfigureFixture fx("qt_configure_accept");
    CompressorRef divx;
    ASSERT_TRUE(GetCompressor(0, &divx, fx.registry).isOk());
    media::av::CodecPtr ctx;
    ASSERT_TRUE(divx->openEncoder(VideoStreamParams{352, 240, {25, 1}, false}, ctx).isOk());
    EXPECT_TRUE(ctx->flags & AV_CODEC_FLAG_QSCALE) << "constant quality by default";

    int shown = 0;
    media::Status s = ConfigureVideoCompressor(
        nullptr, "DivX-compatible MPEG-4 (mpeg4)", fx.registry, fx.buffer,
        [&](CompressorSettingsDialog& dlg) {
            ++shown;
            chooseText(control<QComboBox>(dlg, "rateControl"), "Target bitrate");
            control<QSpinBox>(dlg, "bitrate")->setValue(64);
            control<QSpinBox>(dlg, "keyFrameInterval")->setValue(10);
            dlg.accept();
            return dlg.result();
        });
    EXPECT_TRUE(s.isOk()) << s.text();
    EXPECT_EQ(shown, 1);

    ASSERT_TRUE(divx->openEncoder(VideoStreamParams{352, 240, {25, 1}, false}, ctx).isOk());
    EXPECT_FALSE(ctx->flags & AV_CODEC_FLAG_QSCALE);
    EXPECT_EQ(ctx->bit_rate, 64'000);
    EXPECT_EQ(ctx->gop_size, 10);

    // The next press opens the dialog with what was accepted.
    ConfigureVideoCompressor(nullptr, "divx-compatible mpeg-4 (MPEG4)", fx.registry, fx.buffer,
                             [&](CompressorSettingsDialog& dlg) {
                                 EXPECT_EQ(control<QSpinBox>(dlg, "bitrate")->value(), 64);
                                 dlg.reject();
                                 return dlg.result();
                             });
}

TEST(ConfigureVideoCompressor, RunsModallyAndCancelKeepsTheCodecsSettings) {
    ConfigureFixture fx("qt_configure_cancel");
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->findChild<QSpinBox*>("quality")->setValue(31);
        dlg->reject();
    });
    EXPECT_TRUE(ConfigureVideoCompressor(nullptr, "DivX-compatible MPEG-4 (mpeg4)", fx.registry,
                                         fx.buffer, {})
                    .isOk());
    EXPECT_FALSE(fx.store->load("mpeg4"));
    CompressorRef divx;
    GetCompressor(0, &divx, fx.registry);
    EXPECT_EQ(divx->settings(), codecOptionsFor("mpeg4").defaults);
}

TEST(ConfigureVideoCompressor, EndsQuietlyWithoutAMatchOrState) {
    ConfigureFixture fx("qt_configure_quiet");
    int shown = 0;
    auto never = [&](CompressorSettingsDialog& dlg) {
        ++shown;
        return dlg.result();
    };
    EXPECT_TRUE(ConfigureVideoCompressor(nullptr, "Full frames (uncompressed)", fx.registry,
                                         fx.buffer, never)
                    .isOk());
    EXPECT_TRUE(
        ConfigureVideoCompressor(nullptr, "PNG (png)", fx.registry, fx.buffer, never).isOk());
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(fx.buffer);
}

TEST(ConfigureVideoCompressor, ReportsSettingsThatCouldNotBeKept) {
    const auto root = std::filesystem::path(testmedia::scratchDir("qt_configure_blocked"));
    { std::ofstream(root / "file") << "x"; }
    CompressorRegistry registry({{"mpeg4", "MPEG-4", CompressorCategory::Video, 7}}, {},
                                std::make_shared<const CodecStateStore>(root / "file" / "codecs"));
    CodecStateBuffer buffer;
    media::Status s = ConfigureVideoCompressor(nullptr, "MPEG-4", registry, buffer,
                                               [](CompressorSettingsDialog& dlg) {
                                                   dlg.accept();
                                                   return dlg.result();
                                               });
    EXPECT_TRUE(s.failed());
    EXPECT_NE(s.text().find("codec settings"), std::string::npos) << s.text();
}
