// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_settings_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "output/output_dialog_ids.h"

namespace outputdlg {

const std::vector<ControlTemplate>& dialogTemplate() {
    using K = ControlKind;
    static const std::vector<ControlTemplate> layout = {
        {kFormatLabel, K::Label, "Output Format:", {7, 9, 80, 8}},
        {kFormatList, K::DropList, "WMV|ASF|AVI|MKV|MP4|OGM|DSM", {90, 7, 80, 60}},
        {kOutputFileLabel, K::Label, "Output file:", {7, 27, 80, 8}},
        {kOutputFile, K::Edit, "", {90, 25, 130, 13}},
        {kBrowse, K::Button, "Browse", {224, 24, 47, 15}},
        {kResolutionLabel, K::Label, "Resolution:", {7, 45, 80, 8}},
        {kResolutionList,
         K::DropList,
         "800*600|640*480|720 * 576|720 * 480|480*576|480*480|352 * 288|352 * 240|1280*720|"
         "1920*1080|Custom Size|Original size",
         {90, 43, 80, 100}},
        {kWidth, K::CentredEdit, "", {174, 43, 40, 13}},
        {kHeight, K::CentredEdit, "", {218, 43, 40, 13}},
        {kFrameRateLabel, K::Label, "Frame rate:", {7, 63, 80, 8}},
        {kFrameRateList,
         K::DropList,
         "23.976|24|25|29.97|30|Custom frame rate|Original frame rate",
         {90, 61, 80, 80}},
        {kFrameRate, K::Edit, "", {174, 61, 40, 13}},
        {kResizeLabel, K::Label, "Resize mode:", {7, 81, 80, 8}},
        {kResizeList, K::DropList, "Preserve aspect ratio|Stretch", {90, 79, 120, 40}},
        {kVideoCompressorLabel, K::Label, "Video compressor:", {7, 99, 80, 8}},
        {kVideoCompressorList, K::DropList, "", {90, 97, 130, 100}},
        {kSettings, K::Button, "Settings", {224, 96, 47, 15}},
        {kAudioCompressorLabel, K::Label, "Audio compressor:", {7, 117, 80, 8}},
        {kAudioCompressorList, K::DropList, "", {90, 115, 130, 100}},
        // An Ogg file always holds Theora and Vorbis: shown in place of the two lists.
        {kOggVideoCodec, K::DropList, "Theora (libtheora)", {90, 97, 130, 100}},
        {kOggAudioCodec, K::DropList, "Vorbis (libvorbis)", {90, 115, 130, 100}},
        {kCompressorNote,
         K::Label,
         "Note: some video and audio compressors may not work properly. For more detail, please "
         "read help.",
         {7, 133, 264, 18}},
        {kCopyUnchanged,
         K::CheckBox,
         "Copy unchanged parts of the clips (faster, no quality loss)",
         {7, 153, 264, 10}},
        {kVideoBitrateLabel, K::Label, "Video encoding bitrate:", {7, 99, 80, 8}},
        {kVideoBitrate, K::Edit, "", {90, 97, 50, 13}},
        {kVideoBitrateUnit, K::Label, "Kbps", {144, 99, 30, 8}},
        {kAudioBitrateLabel, K::Label, "Audio encoding bitrate:", {7, 117, 80, 8}},
        {kAudioBitrateList, K::DropList, "64|128|192|320", {90, 115, 50, 60}},
        {kAudioBitrateUnit, K::Label, "Kbps", {144, 117, 30, 8}},
        {kScratchList, K::DropList, "", {0, 0, 10, 10}},
        {kAudioBitrateShadow, K::Edit, "", {0, 0, 10, 10}},
        {kOk, K::DefaultButton, "OK", {108, 171, 50, 14}},
        {kDefault, K::Button, "Default", {164, 171, 50, 14}},
        {kCancel, K::Button, "Cancel", {220, 171, 50, 14}},
    };
    return layout;
}

namespace {

constexpr int kClosedListHeightDu = 13;

QWidget* create(QWidget* parent, const ControlTemplate& t) {
    const QString text = QString::fromUtf8(t.text);
    switch (t.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::Edit:
        case ControlKind::CentredEdit: {
            auto* edit = new QLineEdit(parent);
            if (t.kind == ControlKind::CentredEdit) edit->setAlignment(Qt::AlignCenter);
            return edit;
        }
        case ControlKind::DropList: {
            auto* list = new QComboBox(parent);
            if (!text.isEmpty()) list->addItems(text.split(QLatin1Char('|')));
            return list;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(text, parent);
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(text, parent);
            // Only OK answers Enter; the other buttons answer their own click.
            button->setAutoDefault(t.kind == ControlKind::DefaultButton);
            button->setDefault(t.kind == ControlKind::DefaultButton);
            return button;
        }
    }
    return nullptr;
}

}  // namespace

void createDialogControls(QWidget* dialog, const DialogUnits& units) {
    for (const ControlTemplate& t : dialogTemplate()) {
        QWidget* w = create(dialog, t);
        w->setProperty(kControlIdProperty, t.id);
        DialogRect r = t.rect;
        // A drop-down list's rectangle reaches down over its open list; closed, it is one
        // line high, as an edit is.
        if (t.kind == ControlKind::DropList) r.height = kClosedListHeightDu;
        w->setGeometry(units.toPixels(r));
    }
    // Never shown: the Settings button's scratch list and the copy of the audio bitrate.
    findDialogControl(dialog, kScratchList)->hide();
    findDialogControl(dialog, kAudioBitrateShadow)->hide();
    for (int id : {kOggVideoCodec, kOggAudioCodec}) {
        QWidget* fixed = findDialogControl(dialog, id);
        fixed->setEnabled(false);
        fixed->hide();
    }
}

QWidget* findDialogControl(const QWidget* dialog, int id) {
    const auto children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children) {
        const QVariant v = w->property(kControlIdProperty);
        if (v.isValid() && v.toInt() == id) return w;
    }
    return nullptr;
}

}  // namespace outputdlg
