// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Transition command and its clip property dialog.
#include "app/clip_list_view.h"
#include "app/main_window.h"
#include "app/photo_property_dialog.h"
#include "app/transition_refresh.h"
#include "app/transition_settings_dialog.h"
#include "ui/message_box.h"

void CSlidemintDlg::onTransitionDefaults() {
    CTransitionSettings dialog(settingsStore(), transitionDefaults_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const TransitionDefaults before = transitionDefaults_;
    const TransitionDefaults& after = dialog.values();
    if (refreshQuestionNeeded(before, after, clips_->empty()) &&
        ui::askYesNo(
            this,
            QStringLiteral(
                "The default parameters have been changed. Do you want to refresh the items "
                "of the photo list now?"),
            QStringLiteral("Refresh photo list"))) {
        refreshClipTransitions(*clips_, before.mode, after, random_);
        clips_->rebuildAudioSources();  // an edit like any other: the kept list follows it
    }
    // Whatever the answer, clips added from now on get the new defaults.
    transitionDefaults_ = after;
    clipView_->refresh();
}

bool CSlidemintDlg::runClipPropertyDialog(ClipPropertyEdit& edit) {
    CPhotoProperty dialog(edit, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    edit = dialog.values();
    return true;
}
