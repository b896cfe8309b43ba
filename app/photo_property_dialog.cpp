// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/photo_property_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/clip_list.h"
#include "app/control_ids.h"
#include "app/dialog_controls.h"
#include "app/integer_field.h"
#include "app/main_window_layout.h"
#include "app/transition_defaults.h"
#include "app/video_file_filters.h"
#include "platform/file_dialogs.h"
#include "platform/file_exists.h"
#include "ui/message_box.h"
#include "ui/translation.h"

CPhotoProperty::CPhotoProperty(const ClipPropertyEdit& clip, QWidget* parent)
    : QDialog(parent), values_(clip) {
    setWindowTitle(QStringLiteral("Change the item property"));
    setProperty(ids::kControlIdProperty, kDialogId);
    useDialogFont(this);
    const DialogUnits du(font());

    addLabel(this, kFileLabel, QStringLiteral("File name:"), du, {7, 8, 80, 8});
    fileName_ = addEdit(this, kFileEdit, false, du, {7, 18, 200, 12});
    QPushButton* browse =
        addButton(this, kBrowseButton, QStringLiteral("Browse"), du, {211, 17, 50, 14});
    addLabel(this, kEffectLabel, QStringLiteral("Transition Effect:"), du, {7, 40, 74, 8});
    effects_ = addTransitionList(this, kEffectList, du, {84, 37, 123, 14});
    addLabel(this, kDurationLabel, QStringLiteral("Transition Duration:"), du, {7, 60, 74, 8});
    duration_ = addEdit(this, kDurationEdit, true, du, {84, 58, 34, 12});
    addLabel(this, kSecondsLabel, QStringLiteral("Seconds"), du, {122, 60, 40, 8});
    QPushButton* ok = addButton(this, kOkButton, QStringLiteral("OK"), du, {76, 80, 50, 14});
    ok->setDefault(true);
    QPushButton* cancel =
        addButton(this, kCancelButton, QStringLiteral("Cancel"), du, {142, 80, 50, 14});
    connect(browse, &QPushButton::clicked, this, &CPhotoProperty::onBrowse);
    connect(ok, &QPushButton::clicked, this, &CPhotoProperty::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(du.toPixels({0, 0, 268, 102}).size());

    fileName_->setText(clip.fileName);
    duration_->setText(QString::number(clip.transitionSeconds));
    effects_->setCurrentIndex(clip.transitionIndex);  // none selected for an index outside the list
    TranslateDialog(this, kDialogId);
}

QWidget* CPhotoProperty::control(int id) const {
    return findControl(this, id);
}

void CPhotoProperty::onBrowse() {
    platform::FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("Select a Video File");
    request.filters = videoFileFilters();
    request.selectedFilter = 0;
    const QString chosen = platform::fileDialogs().getOpenFileName(request);
    if (chosen.isEmpty()) return;
    fileName_->setText(chosen);
}

void CPhotoProperty::onOk() {
    const std::optional<int> seconds =
        exchangeIntegerField(this, duration_, kMinTransitionSeconds, kMaxTransitionSeconds);
    if (!seconds) return;
    const QString fileName = fileName_->text();
    const std::string path = fileName.toStdString();
    // The clip keeps its path in a fixed field; a longer name is refused here rather than cut.
    if (path.size() > kMaxClipPathBytes) {
        ui::showPlainMessage(
            this, QStringLiteral("The file name is too long: a clip's path may have at most %1 "
                                 "bytes, this one has %2. Choose a file with a shorter path.")
                      .arg(kMaxClipPathBytes)
                      .arg(path.size()));
        fileName_->setFocus();
        return;
    }
    if (!platform::fileExists(path)) {
        ui::showPlainMessage(this, QStringLiteral("The file does not exist!"));
        fileName_->setFocus();
        return;
    }
    values_.fileName = fileName;
    values_.transitionSeconds = *seconds;
    // With nothing selected (the clip had an index outside the list) the clip keeps its index.
    if (effects_->currentIndex() >= 0) values_.transitionIndex = effects_->currentIndex();
    accept();
}
