// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The default transition dialog (dialog 130): the duration, the mode and the effect that
// every new clip receives. OK stores them in the settings; the caller takes them back.
#include <QDialog>

#include "app/transition_defaults.h"

class QComboBox;
class QLineEdit;
class SettingsStore;

class CTransitionSettings : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 130;
    static constexpr int kDurationLabel = 1074;
    static constexpr int kDurationEdit = 1011;
    static constexpr int kSecondsLabel = 1075;
    static constexpr int kModeFrame = 1076;
    static constexpr int kRandomButton = 1013;
    static constexpr int kSequenceButton = 1015;
    static constexpr int kSameButton = 1014;
    static constexpr int kEffectList = 1012;
    static constexpr int kOkButton = 1077;
    static constexpr int kCancelButton = 1078;

    // Opens on `current`; OK writes the chosen values to `store`.
    CTransitionSettings(SettingsStore& store, const TransitionDefaults& current, QWidget* parent);

    // The values chosen; after OK, what was stored.
    const TransitionDefaults& values() const { return values_; }

    QWidget* control(int id) const;

private:
    void onOk();
    void chooseMode(TransitionMode mode);

    SettingsStore& store_;
    TransitionDefaults values_;
    // The mode the radio buttons show; it becomes the chosen mode only on OK.
    TransitionMode workingMode_ = TransitionMode::Random;
    QLineEdit* duration_ = nullptr;
    QComboBox* effects_ = nullptr;
};
