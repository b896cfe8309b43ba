// SPDX-License-Identifier: GPL-3.0-or-later
// The Preview command: a preview that runs is stopped by it whatever the list holds now;
// otherwise the checks, then the preview player on the clips.
#include "app/locate_clip.h"
#include "app/main_window.h"
#include "timeline/preview_renderer.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

void CSlidemintDlg::onPreview() {
    if (jobState_->previewing()) {
        stopPreview();
        return;
    }
    if (!listFitsAJob()) return;
    if (jobState_->converting()) {
        ui::showPlainMessage(this, QStringLiteral("Please stop Convert first!"));
        return;
    }
    startPreview();
}

void CSlidemintDlg::startPreview() {
    auto preview = std::make_unique<timeline::PreviewRenderer>(this, *clips_, options_,
                                                               locateMissingClip(this));
    if (!preview->StartPreview()) return;
    preview_ = std::move(preview);
    jobState_->setState(JobState::Previewing);
}

void CSlidemintDlg::stopPreview() {
    if (preview_) preview_->StopPreview();
    preview_.reset();
    jobState_->setState(JobState::Idle);
}
