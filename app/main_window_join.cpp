// SPDX-License-Identifier: GPL-3.0-or-later
// The Join command: the checks before a join, the hand-over to the timeline builder and
// the output renderer, the render's events and stop-and-completion.
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <optional>

#include "app/divx_feedback.h"
#include "app/join_checks.h"
#include "app/locate_clip.h"
#include "app/main_window.h"
#include "timeline/output_renderer.h"
#include "timeline/timeline_builder.h"
#include "ui/command_event.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

namespace {

// The media-event message the render posts to the window (WM_USER + 13).
const QEvent::Type kGraphNotify = static_cast<QEvent::Type>(QEvent::User + 13);

}  // namespace

bool CSlidemintDlg::listFitsAJob() {
    const std::optional<joincheck::Refusal> refusal = joincheck::listRefusal(*clips_);
    if (!refusal) return true;
    if (refusal->caption.isEmpty())
        ui::showPlainMessage(this, refusal->text);
    else
        ui::showMessage(this, refusal->text, refusal->caption);
    return false;
}

void CSlidemintDlg::onJoin() {
    // Stop always stops: the list may have been emptied or filled while the join ran.
    if (jobState_->converting()) {
        stopAndComplete();
        return;
    }
    if (!listFitsAJob()) return;
    if (jobState_->previewing()) {
        ui::showPlainMessage(this, QStringLiteral("Please stop Preview first!"));
        return;
    }
    // Writing over a clip would destroy the very file the join reads.
    if (joincheck::outputIsAClip(*clips_, options_.outputName)) {
        ui::showMessage(this, joincheck::outputIsAClipText(options_.outputName), StringText(105), ui::Buttons::Ok,
                        ui::Icon::Error);
        return;
    }
    if (QFileInfo::exists(options_.outputName)) {
        // The old file stays until the new one is complete: the writer puts the finished
        // file in its place, so a failed join never costs the user the file they had.
        if (!ui::askYesNo(nullptr, joincheck::replaceQuestion(options_.outputName), StringText(108),
                          ui::Icon::Warning))
            return;
    }
    if (joincheck::asksForVideoCompressor(options_) &&
        !ui::askYesNo(this, joincheck::noCompressorQuestion(), StringText(108)))
        return;
    DisableDivxFeedback(divxSettingsStore());
    startJoin();
}

void CSlidemintDlg::startJoin() {
    timeline::TimelineBuilder builder(this, *clips_, options_, locateMissingClip(this));
    if (!builder.BuildTimeline()) return;
    clips_->setTotalLength(builder.length());
    timeline::OutputRenderer renderer(this, options_, {compressors_.video, compressors_.audio},
                                      [this] { postGraphNotify(); });
    renderer.RenderToFile(builder.takeCurrent());
    if (!renderer.started()) return;
    setOutputRun(renderer.takeRun());
    const double expectedPictures =
        static_cast<double>(builder.length()) / 1e7 * builder.frameRate();
    jobState_->setProgressSource([this, expectedPictures] {
        if (!outputRun_ || !outputRun_->output() || expectedPictures <= 0) return -1.0;
        return static_cast<double>(outputRun_->output()->picturesWritten()) / expectedPictures;
    });
}

void CSlidemintDlg::setOutputRun(std::unique_ptr<timeline::OutputRun> run) {
    outputRun_ = std::move(run);
    if (outputRun_) jobState_->setState(JobState::Converting);
}

void CSlidemintDlg::stopAndComplete() {
    media::Status finished = media::Status::ok();
    media::CopyReport copied;
    if (outputRun_) {
        finished = outputRun_->stop();
        copied = outputRun_->copyReport();
    }
    outputRun_.reset();
    jobState_->setState(JobState::Idle);
    if (media::wroteNothing(finished)) {
        showSettingsStatus();
        ui::showMessage(this, joincheck::stoppedBeforeWritingText(options_.outputName),
                        StringText(108), ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }
    if (!finished) {
        // Finishing writes the rest of the file; a full disk can still refuse it.
        ui::showMessage(this,
                        QStringLiteral("The output file could not be finished: %1")
                            .arg(QString::fromStdString(finished.text())),
                        StringText(105), ui::Buttons::Ok, ui::Icon::Error);
        showSettingsStatus();
        return;
    }
    showDoneStatus(copied);
}

void CSlidemintDlg::drainMediaEvents() {
    media::render::EngineEvent event;
    while (outputRun_ && outputRun_->getEvent(event, 0)) {
        if (event.code == media::render::kEventComplete) {
            stopAndComplete();
        } else if (event.code == media::render::kEventErrorAbort) {
            // The render cannot go on: the unfinished file is removed and the user told why.
            outputRun_->abandon();
            outputRun_.reset();
            jobState_->setState(JobState::Idle);
            showSettingsStatus();
            ui::showMessage(this,
                            QStringLiteral("The join stopped: %1")
                                .arg(QString::fromStdString(event.status.text())),
                            StringText(105), ui::Buttons::Ok, ui::Icon::Error);
        }
    }
}

void CSlidemintDlg::postGraphNotify() {
    QCoreApplication::postEvent(this, new QEvent(kGraphNotify));
}

void CSlidemintDlg::customEvent(QEvent* event) {
    if (event->type() == kGraphNotify) {
        drainMediaEvents();
        return;
    }
    // A command posted to the window: the preview player's Close sends the Preview command.
    if (event->type() == ui::CommandEvent::kType) {
        runCommand(static_cast<ui::CommandEvent*>(event)->id());
        return;
    }
    QDialog::customEvent(event);
}
