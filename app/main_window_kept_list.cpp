// SPDX-License-Identifier: GPL-3.0-or-later
// The kept list read back at start (see kept_list_restore.h).
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <atomic>
#include <memory>

#include "app/clip_adding.h"
#include "app/clip_list_file.h"
#include "app/clip_list_view.h"
#include "app/kept_list_restore.h"
#include "app/main_window.h"
#include "app/media_worker.h"
#include "app/settings_store.h"
#include "app/window_jobs.h"
#include "media/core/input_file.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

// What the restore has found so far, kept on the window's thread.
struct RestoreReport {
    QString path;
    KeptClipList kept;
    QStringList leftOut;
    QStringList notAnswering;
};

namespace {

std::atomic<long long> gAnswerLimitMs{10'000};

// The folder of a clip whose file did not answer: a share that stopped answering. Its other
// clips are not tried again in this restore: each would only wait as long.
QString folderOf(const QString& file) {
    return QFileInfo(file).absolutePath();
}

// On the media worker: measures every kept clip in turn and hands each answer over.
void measureKeptClips(const MediaWorker::Context& context, const std::vector<KeptClip>& clips,
                      std::function<void(const QString&, const Measurement&)> answer,
                      std::function<void()> end) {
    QSet<QString> silentFolders;
    for (const KeptClip& clip : clips) {
        if (context.cancelled()) return;
        Measurement m;
        if (silentFolders.contains(folderOf(clip.file))) {
            m.answered = false;
        } else {
            // The limit gives up even a read the file never answers: waiting on to the stall
            // limit would hold every later clip of the list as long.
            const media::ReadCancel giveUp(keptClipAnswerLimit());
            m = measureFile(clip.file, keptClipAnswerLimit());
        }
        if (!m.answered) silentFolders.insert(folderOf(clip.file));
        context.deliver([answer, file = clip.file, m] { answer(file, m); });
    }
    context.deliver(std::move(end));
}

// The first clip of `file` that still waits for its measurement; -1 when the user has
// removed it meanwhile.
int waitingClip(const ClipList& clips, const QString& file) {
    const std::string name = fileSystemPath(file);
    for (int i = 0; i < clips.count(); ++i)
        if (clips.at(i).state == ClipState::Measuring && clips.at(i).fileName.view() == name)
            return i;
    return -1;
}

}  // namespace

void setKeptClipAnswerLimit(std::chrono::milliseconds limit) {
    gAnswerLimitMs = limit.count();
}

std::chrono::milliseconds keptClipAnswerLimit() {
    return std::chrono::milliseconds(gAnswerLimitMs.load());
}

void CSlidemintDlg::restoreKeptClips() {
    auto report = std::make_shared<RestoreReport>();
    report->path = clipListFileBeside(store_.filePath());
    jobs_->run([this, report](WindowJobs::Done done) {
        mediaWorker_->post([this, report, done](const MediaWorker::Context& context) {
            KeptClipList kept = readKeptClipList(report->path, kKeptListReadLimit);
            context.deliver([this, report, done, kept = std::move(kept)]() mutable {
                report->kept = std::move(kept);
                takeKeptClips(report, done);
            });
        });
    });
}

void CSlidemintDlg::takeKeptClips(std::shared_ptr<RestoreReport> report,
                                  std::function<void()> done) {
    const KeptClipList& kept = report->kept;
    for (const KeptClip& clip : kept.clips) {
        if (clips_->append(fileSystemPath(clip.file), clip.duration, clip.transition,
                           clip.transitionDuration) != ClipListResult::Ok)
            continue;  // a path too long for the list was never written by it
        clips_->at(clips_->count() - 1).state = ClipState::Measuring;
    }
    if (!kept.clips.empty()) clipView_->refresh();
    // A list that cannot be put aside or read is left as it is: this run keeps nothing.
    const bool keep = !kept.unreadable && (!kept.damaged || !kept.keptAs.isEmpty());
    const QString path = report->path;
    clips_->setEditedHandler([this, path, keep] {
        if (keep) saveClipList(*clips_, path);
        showListLength();
    });
    // The good part of a damaged list is kept at once, in place of the one put aside.
    if (!kept.clips.empty() || kept.damaged) clips_->rebuildAudioSources();

    if (kept.clips.empty()) {
        finishKeptClips(report);
        done();
        return;
    }
    auto answer = [this, report](const QString& file, const Measurement& m) {
        const int row = waitingClip(*clips_, file);
        if (row < 0) return;
        ClipItem& clip = clips_->at(row);
        if (m.info.ok() && m.info.duration > 0) {
            clip.duration = m.info.duration;
            clip.hasPicture = m.info.video.has_value();
            clip.state = ClipState::Measured;
            clipView_->updateRow(row);
        } else if (!m.answered) {
            clip.state = ClipState::NotAnswering;
            report->notAnswering << file;
            clipView_->updateRow(row);
        } else {
            clips_->remove(row);
            report->leftOut << file;
            clipView_->refresh();
        }
        showListLength();
    };
    auto end = [this, report, done] {
        finishKeptClips(report);
        done();
    };
    mediaWorker_->post([clips = kept.clips, answer, end](const MediaWorker::Context& context) {
        measureKeptClips(context, clips, answer, end);
    });
}

void CSlidemintDlg::finishKeptClips(const std::shared_ptr<RestoreReport>& report) {
    if (!report->kept.clips.empty()) clips_->rebuildAudioSources();
    const QString text =
        keptListReport(report->path, report->kept, report->leftOut, report->notAnswering);
    if (!text.isEmpty()) ui::showMessage(this, text, StringText(108));
}
