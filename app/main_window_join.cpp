// The Join command: the checks before a join, the hand-over to the timeline builder and
// the output renderer, the render's events and stop-and-completion.
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>

#include "app/divx_feedback.h"
#include "app/locate_clip.h"
#include "app/main_window.h"
#include "timeline/output_renderer.h"
#include "timeline/timeline_builder.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

namespace {

// The media-event message the render posts to the window (WM_USER + 13).
const QEvent::Type kGraphNotify = static_cast<QEvent::Type>(QEvent::User + 13);

const char* const kCodecDownloadPage = "https://www.korvane.com/clipfuse/codecs/";

bool isWindowsMedia(int format) {
    return format == 1 || format == 3;
}

// Whether writing `output` would replace one of the clips it is made from.
bool outputIsAClip(const ClipList& clips, const QString& output) {
    const QFileInfo target(output);
    const QString targetPath = target.exists() ? target.canonicalFilePath() : target.absoluteFilePath();
    for (int i = 0; i < clips.count(); ++i) {
        const QFileInfo clip(QString::fromStdString(clips.at(i).fileName.str()));
        const QString clipPath = clip.exists() ? clip.canonicalFilePath() : clip.absoluteFilePath();
        if (clipPath == targetPath) return true;
    }
    return false;
}

}  // namespace

bool CSlidemintDlg::listFitsAJob() {
    if (clips_->empty()) {
        ui::showMessage(this, StringText(126), StringText(105));
        return false;
    }
    if (clips_->count() > kMaxClips || clips_->audioSourceCount() > kMaxClips) {
        ui::showPlainMessage(this, QStringLiteral("The video files are too many! Please delete some files in the list."));
        return false;
    }
    return true;
}

void CSlidemintDlg::onJoin() {
    if (!listFitsAJob()) return;
    if (jobState_->previewing()) {
        ui::showPlainMessage(this, QStringLiteral("Please stop Preview first!"));
        return;
    }
    if (jobState_->converting()) {
        stopAndComplete();
        return;
    }
    // Writing over a clip would destroy the very file the join reads.
    if (outputIsAClip(*clips_, options_.outputName)) {
        ui::showMessage(this,
                        QStringLiteral("The output file %1 is one of the video files in the list. "
                                       "Choose another output file in the Options dialog.")
                            .arg(options_.outputName),
                        StringText(105), ui::Buttons::Ok, ui::Icon::Error);
        return;
    }
    if (QFileInfo::exists(options_.outputName)) {
        const QString question = QStringLiteral("%1 ").arg(options_.outputName) + StringText(131);
        // The old file stays until the new one is complete: the writer puts the finished
        // file in its place, so a failed join never costs the user the file they had.
        if (!ui::askYesNo(nullptr, question, StringText(108), ui::Icon::Warning)) return;
    }
    if (!isWindowsMedia(options_.outputFormat) && options_.useVideoCompressor == 0) {
        const QString question =
            QStringLiteral("You do not select a video compressor in Options dialog. The output file will be very big.\n"
                           "Strongly recommend you to install DivX codec, then select DivX as video compressor.\n"
                           "If there is no DivX codec on your system, please download it at %1\n"
                           "Do you want to continue?")
                .arg(QString::fromUtf8(kCodecDownloadPage));
        if (!ui::askYesNo(this, question, StringText(108))) return;
    }
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
    if (renderer.started()) setOutputRun(renderer.takeRun());
}

void CSlidemintDlg::setOutputRun(std::unique_ptr<timeline::OutputRun> run) {
    outputRun_ = std::move(run);
    if (outputRun_) jobState_->setState(JobState::Converting);
}

void CSlidemintDlg::stopAndComplete() {
    media::Status finished = media::Status::ok();
    if (outputRun_) finished = outputRun_->stop();
    outputRun_.reset();
    jobState_->setState(JobState::Idle);
    if (!finished) {
        // Finishing writes the rest of the file; a full disk can still refuse it.
        ui::showMessage(this,
                        QStringLiteral("The output file could not be finished: %1")
                            .arg(QString::fromStdString(finished.text())),
                        StringText(105), ui::Buttons::Ok, ui::Icon::Error);
        showSettingsStatus();
        return;
    }
    showDoneStatus();
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
    QDialog::customEvent(event);
}
