// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/job_state.h"

#include "app/control_ids.h"
#include "app/main_window_layout.h"
#include "app/status_line.h"
#include "ui/text_lookup.h"

#include <QAbstractButton>

JobStateControl::JobStateControl(QWidget* window) : QObject(window), window_(window) {
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &JobStateControl::tick);
}

void JobStateControl::setState(JobState state) {
    const JobState previous = state_;
    state_ = state;
    applyButtonTexts();
    const bool idleButtons = state != JobState::Converting;
    for (int id : {ids::kAddVideo, ids::kOptions, ids::kTransition, ids::kPreview})
        if (QWidget* w = findControl(window_, id)) w->setEnabled(idleButtons);

    if (state == JobState::Converting && previous != JobState::Converting) {
        elapsed_ = 0;
        timer_.start();
    } else if (state != JobState::Converting) {
        timer_.stop();
        elapsed_ = 0;
    }
}

void JobStateControl::applyButtonTexts() {
    // "Stop" and "Preview" are run-time captions that a language file may carry among its
    // dialog texts; "Join" is a plain string.
    if (auto* join = qobject_cast<QAbstractButton*>(findControl(window_, ids::kJoin)))
        join->setText(state_ == JobState::Converting ? DialogTextOrString(124) : StringText(128));
    if (auto* preview = qobject_cast<QAbstractButton*>(findControl(window_, ids::kPreview)))
        preview->setText(state_ == JobState::Previewing ? DialogTextOrString(124) : DialogTextOrString(141));
}

void JobStateControl::tick() {
    ++elapsed_;
    emit progressText(joinProgressText(elapsed_, done_ ? done_() : -1.0));
}
