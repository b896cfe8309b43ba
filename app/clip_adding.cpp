// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_adding.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <memory>

#include "app/clip_list.h"
#include "app/media_worker.h"
#include "app/transition_assignment.h"
#include "app/window_jobs.h"
#include "media/core/clip_reader.h"
#include "media/probe/probe_clip.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

namespace {

std::atomic<ClipProbe> g_probe{nullptr};

media::ClipInfo probe(const std::string& path, const media::InputLimits& limits) {
    const ClipProbe replacement = g_probe.load();
    return replacement ? replacement(path, limits) : media::probeClip(path, limits);
}

void showMeasureFailure(QWidget* owner, const QString& path, media::ProbeFailure failure) {
    const QString error = QStringLiteral("Error");
    switch (failure) {
        case media::ProbeFailure::CannotStart:
            ui::showMessage(owner, QStringLiteral("Failed to CoCreateInstance"), error);
            break;
        case media::ProbeFailure::CannotOpen:
            // Shown without owner window, as it always was.
            ui::showMessage(nullptr, StringText(122),
                            path + QStringLiteral(" IDS_MESSAGE_NOT_OPEN_FILE"));
            break;
        case media::ProbeFailure::NotSeekable:
            ui::showMessage(owner, QStringLiteral("Failed to get IID_IMediaSeeking"), error);
            break;
        case media::ProbeFailure::NoLength:
        case media::ProbeFailure::None:  // a success without a length is no success
            ui::showMessage(owner, QStringLiteral("Failed to GetStopPosition"), error);
            break;
    }
}

}  // namespace

ClipProbe setClipProbe(ClipProbe replacement) {
    return g_probe.exchange(replacement);
}

std::string fileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

Measurement measureFile(const QString& path, std::chrono::milliseconds limit) {
    const std::string file = fileSystemPath(path);
    media::InputLimits limits;
    limits.openTimeout = std::min(limits.openTimeout, limit);
    const media::ReadDeadline deadline(limit);
    Measurement m;
    m.info = probe(file, limits);
    if (!m.info.ok())
        m.answered = !deadline.expired() && !media::readsShouldStop() &&
                     m.info.status.text() != media::stalledText(file, media::readStallLimit());
    return m;
}

QString fullListText(int refused, const QString& firstPath) {
    if (refused == 1)
        return QString::fromStdString(
            clipListResultText(ClipListResult::Full, fileSystemPath(firstPath)));
    return QStringLiteral("The list already holds %1 clips. %2 files were not added.")
        .arg(kMaxClips)
        .arg(refused);
}

ClipAdder::ClipAdder(QWidget* owner, ClipList& clips, const TransitionDefaults& defaults,
                     std::mt19937& random)
    : owner_(owner), clips_(clips), defaults_(defaults), random_(random) {}

bool ClipAdder::admit(const QString& path) {
    if (clips_.full()) {
        if (refusedForFullList_++ == 0) firstRefused_ = path;
        return false;
    }
    const std::string stored = fileSystemPath(path);
    if (stored.size() > kMaxClipPathBytes) {
        // Checked before measuring: a cut path would name another file.
        ui::showMessage(
            owner_, QString::fromStdString(clipListResultText(ClipListResult::PathTooLong, stored)),
            StringText(105));
        return false;
    }
    return true;
}

bool ClipAdder::complete(const QString& path, const media::ClipInfo& measured) {
    // The list may have filled while the file was measured (a drop during a long command).
    if (clips_.full()) {
        if (refusedForFullList_++ == 0) firstRefused_ = path;
        return false;
    }
    const std::string stored = fileSystemPath(path);
    if (!measured.ok() || measured.duration <= 0) {
        showMeasureFailure(owner_, path, measured.failure);
        ui::showMessage(
            owner_,
            StringText(123) + QLatin1Char(' ') + path + QStringLiteral(". ") + StringText(122),
            StringText(105) + QStringLiteral(" IDS_MESSAGE_NO_DURATION"));
        return false;
    }
    const TransitionChoice transition = transitionForNewClip(defaults_, clips_.count(), random_);
    const ClipListResult appended =
        clips_.append(stored, measured.duration, transition.index, transition.duration);
    if (appended != ClipListResult::Ok) {
        ui::showMessage(owner_, QString::fromStdString(clipListResultText(appended, stored)),
                        StringText(105));
        return false;
    }
    clips_.at(clips_.count() - 1).hasPicture = measured.video.has_value();
    ++added_;
    lastAdded_ = path;
    return true;
}

bool ClipAdder::add(const QString& path) {
    return admit(path) && complete(path, measureFile(path, kAddMeasureLimit).info);
}

void ClipAdder::finish() {
    if (refusedForFullList_ == 0) return;
    ui::showMessage(owner_, fullListText(refusedForFullList_, firstRefused_), StringText(105));
    refusedForFullList_ = 0;
}

namespace {

// One adding command under way: the files it still has, measured one by one.
struct AddingRun : std::enable_shared_from_this<AddingRun> {
    AddingRun(MediaWorker& w, ClipAdder a, QStringList f, AddingSource s,
              std::function<void(ClipAdder&)> end)
        : worker(w),
          adder(std::move(a)),
          files(std::move(f)),
          source(s),
          finished(std::move(end)) {}

    enum class Found { File, Gone, Folder };

    // On the worker.
    Found look(const QString& path) const {
        if (source == AddingSource::FileDialog) return Found::File;
        switch (media::lookAtFile(fileSystemPath(path))) {
            case media::FileKind::Missing:
            case media::FileKind::Unreadable:
                return Found::Gone;
            case media::FileKind::Folder:
                return Found::Folder;
            default:
                return Found::File;  // measuring says what is wrong with it
        }
    }

    void next() {
        while (index < files.size()) {
            const QString path = files[index++];
            if (!adder.admit(path)) continue;
            worker.post([self = shared_from_this(), path](const MediaWorker::Context& context) {
                const Found found = self->look(path);
                Measurement m;
                if (found == Found::File) m = measureFile(path, kAddMeasureLimit);
                context.deliver([self, path, found, info = std::move(m.info)] {
                    if (found == Found::File)
                        self->adder.complete(path, info);
                    else if (found == Found::Gone && self->source == AddingSource::CommandLine)
                        ui::showMessage(self->adder.owner(), doesNotExistText(path),
                                        QStringLiteral("Error"));
                    self->next();
                });
            });
            return;
        }
        adder.finish();
        if (finished) finished(adder);
        if (done) done();
    }

    MediaWorker& worker;
    ClipAdder adder;
    QStringList files;
    AddingSource source;
    qsizetype index = 0;
    std::function<void(ClipAdder&)> finished;
    WindowJobs::Done done;
};

}  // namespace

QString doesNotExistText(const QString& path) {
    return path + QStringLiteral(" does not exist!");
}

void addClips(WindowJobs& jobs, MediaWorker& worker, ClipAdder adder, const QStringList& files,
              AddingSource source, std::function<void(ClipAdder&)> finished) {
    auto run =
        std::make_shared<AddingRun>(worker, std::move(adder), files, source, std::move(finished));
    jobs.run([run](WindowJobs::Done done) {
        run->done = std::move(done);
        run->next();
    });
}
