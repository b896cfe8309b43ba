// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transition_settings_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/control_ids.h"
#include "app/dialog_controls.h"
#include "app/integer_field.h"
#include "app/main_window_layout.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "ui/translation.h"

namespace {

// A stored mode the dialog does not know shows as Random.
TransitionMode shownMode(TransitionMode mode) {
    return mode == TransitionMode::Sequence || mode == TransitionMode::Same
               ? mode
               : TransitionMode::Random;
}

}  // namespace

CTransitionSettings::CTransitionSettings(SettingsStore& store, const TransitionDefaults& current,
                                         QWidget* parent)
    : QDialog(parent), store_(store), values_(current) {
    setWindowTitle(QStringLiteral("Customize the default transition"));
    setProperty(ids::kControlIdProperty, kDialogId);
    useDialogFont(this);
    const DialogUnits du(font());

    addLabel(this, kDurationLabel, QStringLiteral("Default transition duration:"), du,
             {10, 10, 100, 8});
    duration_ = addEdit(this, kDurationEdit, true, du, {112, 8, 34, 12});
    addLabel(this, kSecondsLabel, QStringLiteral("Seconds"), du, {150, 10, 36, 8});
    addGroupFrame(this, kModeFrame, QStringLiteral("Default Transition"), du, {7, 26, 182, 56});
    struct ModeButton {
        int id;
        const char* text;
        TransitionMode mode;
        int x;
    };
    const ModeButton modeButtons[] = {{kRandomButton, "Random", TransitionMode::Random, 16},
                                      {kSequenceButton, "Sequence", TransitionMode::Sequence, 72},
                                      {kSameButton, "Same", TransitionMode::Same, 134}};
    for (const ModeButton& b : modeButtons) {
        QRadioButton* radio =
            addRadioButton(this, b.id, QString::fromLatin1(b.text), du, {b.x, 40, 50, 10});
        const TransitionMode mode = b.mode;
        connect(radio, &QRadioButton::clicked, this, [this, mode] { chooseMode(mode); });
    }
    effects_ = addTransitionList(this, kEffectList, du, {16, 58, 164, 14});
    QPushButton* ok = addButton(this, kOkButton, QStringLiteral("OK"), du, {40, 90, 50, 14});
    ok->setDefault(true);
    QPushButton* cancel =
        addButton(this, kCancelButton, QStringLiteral("Cancel"), du, {106, 90, 50, 14});
    connect(ok, &QPushButton::clicked, this, &CTransitionSettings::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(du.toPixels({0, 0, 196, 112}).size());

    duration_->setText(QString::number(current.durationSeconds));
    chooseMode(shownMode(current.mode));
    effects_->setCurrentIndex(current.effectIndex);  // none selected for an index outside the list
    TranslateDialog(this, kDialogId);
}

QWidget* CTransitionSettings::control(int id) const {
    return findControl(this, id);
}

void CTransitionSettings::chooseMode(TransitionMode mode) {
    workingMode_ = mode;
    const int id = mode == TransitionMode::Sequence ? kSequenceButton
                   : mode == TransitionMode::Same   ? kSameButton
                                                    : kRandomButton;
    qobject_cast<QRadioButton*>(control(id))->setChecked(true);
}

void CTransitionSettings::onOk() {
    const std::optional<int> seconds =
        exchangeIntegerField(this, duration_, kMinTransitionSeconds, kMaxTransitionSeconds);
    if (!seconds) return;
    values_.durationSeconds = *seconds;
    values_.mode = workingMode_;
    // With nothing selected (the dialog opened on an index outside the list) the index stays.
    if (effects_->currentIndex() >= 0) values_.effectIndex = effects_->currentIndex();

    using namespace settings;
    store_.writeInt(kTransitionSettings, kTransitionDuration, values_.durationSeconds);
    store_.writeInt(kTransitionSettings, kTransitionType, static_cast<int>(values_.mode));
    store_.writeInt(kTransitionSettings, kTransitionName, values_.effectIndex);
    accept();
}
