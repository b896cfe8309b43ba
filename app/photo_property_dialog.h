// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clip property dialog (dialog 136): one clip's file, transition effect and transition
// duration. OK only with a duration in range and a file that exists and fits the clip.
#include <QDialog>

#include "app/clip_property_edit.h"

class QComboBox;
class QLineEdit;

class CPhotoProperty : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 136;
    static constexpr int kFileLabel = 1080;
    static constexpr int kFileEdit = 1034;
    static constexpr int kBrowseButton = 1035;
    static constexpr int kEffectLabel = 1081;
    static constexpr int kEffectList = 1012;
    static constexpr int kDurationLabel = 1082;
    static constexpr int kDurationEdit = 1037;
    static constexpr int kSecondsLabel = 1083;
    static constexpr int kOkButton = 1084;
    static constexpr int kCancelButton = 1085;

    CPhotoProperty(const ClipPropertyEdit& clip, QWidget* parent);

    // The values chosen; meaningful after OK.
    const ClipPropertyEdit& values() const { return values_; }

    QWidget* control(int id) const;

private:
    void onBrowse();
    void onOk();

    ClipPropertyEdit values_;
    QLineEdit* fileName_ = nullptr;
    QLineEdit* duration_ = nullptr;
    QComboBox* effects_ = nullptr;
};
