// The Preview command's checks; they come before the preview player opens.
#include "app/main_window.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

void CSlidemintDlg::onPreview() {
    if (!listFitsAJob()) return;
    if (jobState_->converting()) {
        ui::showPlainMessage(this, QStringLiteral("Please stop Convert first!"));
        return;
    }
    if (jobState_->previewing()) {
        jobState_->setState(JobState::Idle);
        return;
    }
    startPreview();
}
