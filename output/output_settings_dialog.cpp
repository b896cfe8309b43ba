// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "media/codecs/stored_compressors.h"
#include "media/writers/compressor_trial.h"
#include "media/writers/output_format.h"
#include "output/output_dialog_ids.h"
#include "output/output_extension.h"
#include "output/output_option_values.h"
#include "output/output_settings_layout.h"
#include "platform/application_title.h"
#include "platform/file_dialogs.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"
#include "ui/translation.h"

using namespace outputdlg;
using media::codecs::CompressorCategory;

namespace {

// The longest output path the program keeps, as every stored path of the program.
constexpr int kMaxOutputNameBytes = 259;
constexpr int kMaxFrameRateChars = 128;
// The largest frame side the program writes, as the command-line join accepts.
constexpr int kMaxFrameSide = 8192;
// The clips' own size is known only when a join starts; the compressors are tried at the
// size of most phone and camera clips meanwhile.
constexpr output::FrameSize kOriginalSizeTrial{1280, 720};

bool isWindowsMediaFormat(int code) {
    return code == output::kWmv || code == output::kAsf;
}

}  // namespace

CDialogOutputSettings::CDialogOutputSettings(const OutputOptions& options,
                                             BoundCompressors& compressors,
                                             output::OutputSettingsStore& store,
                                             const media::codecs::CompressorRegistry& registry,
                                             QWidget* parent)
    : QDialog(parent),
      working_(options),
      compressors_(compressors),
      store_(store),
      registry_(registry) {
    setWindowTitle(QStringLiteral("Select Output options"));
    setProperty(kControlIdProperty, kDialogId);
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    const DialogUnits units(font());
    createDialogControls(this, units);
    setFixedSize(units.toPixels({0, 0, kDialogWidthDu, kDialogHeightDu}).size());
    trials_ = new output::CompressorListTrials(list(kVideoCompressorList), list(kAudioCompressorList),
                                               registry_, store_.compressorAnswersFile(), this);
    fillControls();
    // Connected after opening, so that filling the lists runs no action.
    connectActions();
    TranslateDialog(this, kDialogId);
}

QWidget* CDialogOutputSettings::control(int id) const {
    return findDialogControl(this, id);
}

QComboBox* CDialogOutputSettings::list(int id) const {
    return qobject_cast<QComboBox*>(control(id));
}

QLineEdit* CDialogOutputSettings::edit(int id) const {
    return qobject_cast<QLineEdit*>(control(id));
}

QCheckBox* CDialogOutputSettings::copyBox() const {
    return qobject_cast<QCheckBox*>(control(kCopyUnchanged));
}

void CDialogOutputSettings::showControls(std::initializer_list<int> ids, bool shown) {
    for (int id : ids) control(id)->setVisible(shown);
}

void CDialogOutputSettings::fillControls() {
    edit(kOutputFile)->setText(working_.outputName);

    edit(kWidth)->setText(QString::number(working_.outputWidth));
    edit(kHeight)->setText(QString::number(working_.outputHeight));
    showControls({kWidth, kHeight}, false);
    const int sizeRow = output::frameSizeRow(working_.outputWidth, working_.outputHeight);
    list(kResolutionList)->setCurrentIndex(sizeRow);
    if (sizeRow == output::kCustomSizeRow) showControls({kWidth, kHeight}, true);
    list(kResolutionList)->setItemText(output::kCustomSizeRow, StringText(112));
    list(kResolutionList)->setItemText(output::kOriginalSizeRow, StringText(111));

    edit(kFrameRate)->setText(QString::asprintf("%.3f", working_.frameRate));
    control(kFrameRate)->hide();
    const int rateRow =
        working_.frameRateIndex >= 0 && working_.frameRateIndex <= output::kOriginalRateRow
            ? working_.frameRateIndex
            : -1;
    list(kFrameRateList)->setCurrentIndex(rateRow);
    if (working_.frameRateIndex == output::kCustomRateRow) control(kFrameRate)->show();
    list(kFrameRateList)->setItemText(output::kCustomRateRow, StringText(114));
    list(kFrameRateList)->setItemText(output::kOriginalRateRow, StringText(113));

    copyBox()->setChecked(working_.copyUnchanged != 0);

    fillCompressorList(list(kVideoCompressorList), CompressorCategory::Video);
    fillCompressorList(list(kAudioCompressorList), CompressorCategory::Audio);

    QComboBox* resize = list(kResizeList);
    resize->setItemText(0, StringText(117));
    resize->setItemText(1, StringText(118));
    resize->setCurrentIndex(working_.resizeMode == 2 ? 0 : 1);

    showControls({kVideoCompressorList, kAudioCompressorList, kSettings}, false);

    edit(kVideoBitrate)
        ->setText(QString::number(working_.videoBitrate / output::kVideoBitrateUnit));
    edit(kAudioBitrateShadow)->setText(QString::number(working_.audioBitrate / 1000));
    list(kAudioBitrateList)->setCurrentIndex(output::audioBitrateRow(working_.audioBitrate));

    showControls({kVideoCompressorLabel, kAudioCompressorLabel, kCompressorNote}, false);

    QComboBox* format = list(kFormatList);
    format->clear();
    for (const output::FormatRow& row : output::kFormatRows)
        format->addItem(QString::fromLatin1(row.name));
    format->setCurrentIndex(output::formatRow(working_.outputFormat));
    // The record's own format, even one the list does not offer.
    applyFormatLayout(working_.outputFormat);
    markUnusableCompressors();
    enableCopyUnchanged();
}

void CDialogOutputSettings::fillCompressorList(QComboBox* box, CompressorCategory category) {
    box->clear();
    for (const std::string& row : media::codecs::compressorListRows(category, registry_))
        box->addItem(QString::fromStdString(row));
    box->setCurrentIndex(media::codecs::initialCompressorRow(
        category, store_.compressorNumber(category), registry_, working_.outputFormat));
}

void CDialogOutputSettings::markUnusableCompressors() {
    const int code = working_.outputFormat;
    media::TrialOutput trial;
    trial.formatCode = code;
    const bool originalSize = list(kResolutionList)->currentIndex() == output::kOriginalSizeRow;
    trial.width = originalSize ? kOriginalSizeTrial.width : output::frameSide(edit(kWidth)->text());
    trial.height =
        originalSize ? kOriginalSizeTrial.height : output::frameSide(edit(kHeight)->text());
    const double rate = output::leadingDecimal(edit(kFrameRate)->text());
    trial.frameRate = media::exactFrameRate(rate >= output::kMinimumFrameRate ? rate : output::kPresetFrameRates[0]);
    // Windows Media and Ogg files choose their own codecs: the lists are not in use. A size
    // OK refuses is not worth a trial.
    if (code < 0 || code > output::kOgm || isWindowsMediaFormat(code) || code == output::kOgm ||
        trial.width > kMaxFrameSide || trial.height > kMaxFrameSide)
        trials_->leaveRowsPlain();
    else
        trials_->markRows(trial);
}

void CDialogOutputSettings::selectPreferredCompressors() {
    const std::pair<CompressorCategory, bool> lists[] = {{CompressorCategory::Video, videoChosen_},
                                                         {CompressorCategory::Audio, audioChosen_}};
    for (const auto& [category, chosen] : lists) {
        if (chosen || store_.compressorNumber(category) != media::codecs::kNeverChosen)
            continue;
        list(category == CompressorCategory::Video ? kVideoCompressorList : kAudioCompressorList)
            ->setCurrentIndex(media::codecs::initialCompressorRow(
                category, media::codecs::kNeverChosen, registry_, working_.outputFormat));
    }
}

std::string CDialogOutputSettings::chosenVideoEncoder() const {
    const int row = list(kVideoCompressorList)->currentIndex();
    const auto& devices = registry_.devices(CompressorCategory::Video);
    if (row < 1 || row > static_cast<int>(devices.size())) return {};
    return devices[static_cast<std::size_t>(row - 1)].encoder;
}

void CDialogOutputSettings::enableCopyUnchanged() {
    copyBox()->setEnabled(output::canCopyUnchanged(working_.outputFormat, chosenVideoEncoder()));
}

bool CDialogOutputSettings::tryingCompressors() const {
    return trials_->trying();
}

void CDialogOutputSettings::done(int result) {
    trials_->finish();
    QDialog::done(result);
}

void CDialogOutputSettings::connectActions() {
    connect(list(kFormatList), &QComboBox::currentIndexChanged, this,
            &CDialogOutputSettings::onFormatChanged);
    connect(list(kResolutionList), &QComboBox::currentIndexChanged, this,
            &CDialogOutputSettings::onResolutionChanged);
    connect(list(kFrameRateList), &QComboBox::currentIndexChanged, this,
            &CDialogOutputSettings::onFrameRateChanged);
    auto button = [this](int id) { return qobject_cast<QPushButton*>(control(id)); };
    // A row the user picks is kept whatever format is chosen after it.
    connect(list(kVideoCompressorList), &QComboBox::activated, this, [this] { videoChosen_ = true; });
    connect(list(kAudioCompressorList), &QComboBox::activated, this, [this] { audioChosen_ = true; });
    // Also a row chosen for the user: the preferred one of a new format, or one a trial left.
    connect(list(kVideoCompressorList), &QComboBox::currentIndexChanged, this,
            &CDialogOutputSettings::enableCopyUnchanged);
    // A typed size or rate is tried when the user leaves its box.
    for (int id : {kWidth, kHeight, kFrameRate})
        connect(edit(id), &QLineEdit::editingFinished, this,
                &CDialogOutputSettings::markUnusableCompressors);
    connect(button(kDefault), &QPushButton::clicked, this, &CDialogOutputSettings::onDefault);
    connect(button(kSettings), &QPushButton::clicked, this, &CDialogOutputSettings::onSettings);
    connect(button(kBrowse), &QPushButton::clicked, this, &CDialogOutputSettings::onBrowse);
    connect(button(kOk), &QPushButton::clicked, this, &CDialogOutputSettings::onOk);
    connect(button(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

void CDialogOutputSettings::applyFormatLayout(int code) {
    QString name = edit(kOutputFile)->text();
    if (ApplyOutputExtension(code, name)) edit(kOutputFile)->setText(name);
    if (code > output::kOgm) {
        ui::showMessage(this, QStringLiteral("unknown error"), QStringLiteral("error"));
        return;
    }
    if (code < 0) return;
    const bool windowsMedia = isWindowsMediaFormat(code);
    const bool ogg = code == output::kOgm;
    showControls({kVideoCompressorLabel, kAudioCompressorLabel, kCompressorNote}, !windowsMedia);
    showControls({kVideoCompressorList, kAudioCompressorList, kSettings}, !windowsMedia && !ogg);
    showControls({kOggVideoCodec, kOggAudioCodec}, ogg);
    showControls({kVideoBitrate, kAudioBitrateList, kVideoBitrateLabel, kAudioBitrateLabel,
                  kVideoBitrateUnit, kAudioBitrateUnit},
                 windowsMedia);
}

void CDialogOutputSettings::onFormatChanged(int row) {
    working_.outputFormat = output::formatCodeOfRow(row);
    applyFormatLayout(working_.outputFormat);
    selectPreferredCompressors();
    markUnusableCompressors();
    enableCopyUnchanged();
}

void CDialogOutputSettings::onResolutionChanged(int row) {
    if (row < 0) return;
    if (row < output::kCustomSizeRow) {
        edit(kWidth)->setText(QString::number(output::kPresetFrameSizes[row].width));
        edit(kHeight)->setText(QString::number(output::kPresetFrameSizes[row].height));
        showControls({kWidth, kHeight}, false);
    } else if (row == output::kOriginalSizeRow) {
        edit(kWidth)->setText(QStringLiteral("0"));
        edit(kHeight)->setText(QStringLiteral("0"));
        showControls({kWidth, kHeight}, false);
    } else {
        edit(kWidth)->setText(QString::number(working_.outputWidth));
        edit(kHeight)->setText(QString::number(working_.outputHeight));
        showControls({kWidth, kHeight}, true);
    }
    markUnusableCompressors();
}

void CDialogOutputSettings::onFrameRateChanged(int row) {
    if (row < 0) return;
    if (row < output::kCustomRateRow) {
        edit(kFrameRate)->setText(QString::asprintf("%f", output::kPresetFrameRates[row]));
        control(kFrameRate)->hide();
    } else if (row == output::kOriginalRateRow) {
        // The record keeps a usable rate for the custom row to start from; the join uses
        // the first clip's.
        const double kept = working_.frameRate >= output::kMinimumFrameRate
                                ? working_.frameRate
                                : output::kPresetFrameRates[0];
        edit(kFrameRate)->setText(QString::asprintf("%f", kept));
        control(kFrameRate)->hide();
    } else {
        edit(kFrameRate)->setText(QString::asprintf("%.3f", working_.frameRate));
        control(kFrameRate)->show();
    }
    markUnusableCompressors();
}

void CDialogOutputSettings::onDefault() {
    if (isWindowsMediaFormat(working_.outputFormat)) {
        edit(kVideoBitrate)->setText(QString::number(output::kDefaultVideoKbps));
        list(kAudioBitrateList)->setCurrentIndex(output::kDefaultAudioRow);
        return;
    }
    list(kVideoCompressorList)
        ->setCurrentIndex(
            media::codecs::preferredCompressorRow(CompressorCategory::Video, registry_,
                                                  working_.outputFormat));
    list(kAudioCompressorList)
        ->setCurrentIndex(media::codecs::preferredCompressorRow(
            CompressorCategory::Audio, registry_, working_.outputFormat));
    markUnusableCompressors();
}

void CDialogOutputSettings::onSettings() {
    // The row's text may carry "(trying)"; the device's name is what the codec is found by.
    const int row = list(kVideoCompressorList)->currentIndex();
    const auto& devices = registry_.devices(CompressorCategory::Video);
    const QString name = row >= 1 && row <= static_cast<int>(devices.size())
                             ? QString::fromStdString(devices[static_cast<std::size_t>(row - 1)].friendlyName)
                             : list(kVideoCompressorList)->currentText();
    const media::Status s = ConfigureVideoCompressor(this, name, registry_,
                                                     media::codecs::processCodecStateBuffer(),
                                                     runCompressorDialog_);
    // The codec's dialog itself never fails; keeping what the user accepted can.
    if (s.failed()) ui::showPlainMessage(this, QString::fromStdString(s.text()));
    // A new configuration is another trial.
    markUnusableCompressors();
}

void CDialogOutputSettings::onBrowse() {
    platform::FileDialogRequest request;
    request.owner = this;
    request.title = StringText(110);
    const QString& name = working_.outputName;
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    request.folder =
        slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : name.left(slash));
    // The name box starts empty: every file of the folder is listed, as "*.*" asks.
    const QString filter = output::outputFormatFilter(working_.outputFormat);
    if (filter.isEmpty())
        ui::showMessage(this, QStringLiteral("Does not support the video format"),
                        QStringLiteral("Error"));
    else
        request.filters = {filter};
    QString chosen = platform::fileDialogs().getSaveFileName(request);
    if (chosen.isEmpty()) return;
    ApplyOutputExtension(working_.outputFormat, chosen);
    edit(kOutputFile)->setText(chosen);
}

int CDialogOutputSettings::takeCompressor(CompressorCategory category, std::int32_t& useFlag) {
    const bool video = category == CompressorCategory::Video;
    const int row = list(video ? kVideoCompressorList : kAudioCompressorList)->currentIndex();
    if (row <= 0) {
        // The uncompressed row, or no row at all: nothing is looked up.
        useFlag = 0;
        return media::codecs::storedNumberForRow(row);
    }
    media::codecs::CompressorRef& bound = video ? compressors_.video : compressors_.audio;
    // The old compressor goes first, also when the new lookup fails.
    bound.reset();
    const media::Status s = video ? media::codecs::GetCompressor(row - 1, &bound, registry_)
                                  : media::codecs::GetAudioCompressor(row - 1, &bound, registry_);
    if (s.failed()) ui::showPlainMessage(this, QString::fromStdString(s.text()));
    useFlag = 1;
    return media::codecs::storedNumberForRow(row);
}

void CDialogOutputSettings::onOk() {
    const QString rateText = edit(kFrameRate)->text().left(kMaxFrameRateChars);
    working_.frameRate = output::leadingDecimal(rateText);
    if (working_.frameRate < output::kMinimumFrameRate) {
        ui::showMessage(this, QStringLiteral("The frame rate is too small!"),
                        platform::applicationTitle());
        return;
    }
    const bool originalSize = list(kResolutionList)->currentIndex() == output::kOriginalSizeRow;
    const int width = originalSize ? 0 : output::frameSide(edit(kWidth)->text());
    const int height = originalSize ? 0 : output::frameSide(edit(kHeight)->text());
    if (width > kMaxFrameSide || height > kMaxFrameSide) {
        ui::showMessage(this,
                        QStringLiteral("The frame size %1*%2 is too large: a side can be at most %3.")
                            .arg(width)
                            .arg(height)
                            .arg(kMaxFrameSide),
                        platform::applicationTitle());
        return;
    }
    // A typed name gets the chosen format's extension, as a Browse result does: the file
    // written is then the format its name says.
    const int formatCode = output::formatCodeOfRow(list(kFormatList)->currentIndex());
    const QString name =
        output::withOutputExtension(formatCode, edit(kOutputFile)->text()).value_or(QString());
    if (name.toUtf8().size() > kMaxOutputNameBytes) {
        // A cut path would name another file; the user shortens it instead.
        ui::showMessage(
            this,
            QStringLiteral("The path of the output file is too long (more than %1 bytes): %2")
                .arg(kMaxOutputNameBytes)
                .arg(name),
            platform::applicationTitle());
        return;
    }

    output::StoredOutputValues stored;
    const int rateRow = list(kFrameRateList)->currentIndex();
    stored.frameRateIndex = rateRow;
    if (rateRow < 0) {
        working_.frameRateIndex = 0;
        working_.frameRate = output::kPresetFrameRates[0];
    } else {
        working_.frameRateIndex = rateRow;
        working_.frameRate = rateRow < output::kCustomRateRow ? output::kPresetFrameRates[rateRow]
                                                              : output::leadingDecimal(rateText);
    }
    stored.frameRate = QString::asprintf("%f", working_.frameRate);

    working_.outputName = name;
    stored.outputName = name;

    working_.outputWidth = width;
    working_.outputHeight = height;
    stored.outputWidth = working_.outputWidth;
    stored.outputHeight = working_.outputHeight;

    stored.videoCompressorNumber =
        takeCompressor(CompressorCategory::Video, working_.useVideoCompressor);
    stored.audioCompressorNumber =
        takeCompressor(CompressorCategory::Audio, working_.useAudioCompressor);

    working_.resizeMode = list(kResizeList)->currentIndex() == 0 ? 2 : 0;

    working_.videoBitrate = output::videoBitrateFromKbps(edit(kVideoBitrate)->text());
    stored.videoBitrate = working_.videoBitrate;
    const int audioRow = list(kAudioBitrateList)->currentIndex();
    if (audioRow >= 0) working_.audioBitrate = output::kAudioBitrates[audioRow];
    stored.audioBitrate = working_.audioBitrate;

    working_.outputFormat = formatCode;
    stored.outputFormat = working_.outputFormat;

    working_.copyUnchanged = copyBox()->isChecked() ? 1 : 0;
    stored.copyUnchanged = working_.copyUnchanged;

    store_.write(stored);
    accept();
}
