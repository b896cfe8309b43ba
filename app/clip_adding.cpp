#include "app/clip_adding.h"

#include <QFile>

#include "app/clip_list.h"
#include "app/transition_assignment.h"
#include "media/probe/probe_clip.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

namespace {

ClipProbe g_probe = nullptr;

media::ClipInfo probe(const std::string& path) {
    return g_probe ? g_probe(path) : media::probeClip(path);
}

// The file name as the file system spells it.
std::string fileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
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
    const ClipProbe previous = g_probe;
    g_probe = replacement;
    return previous;
}

bool measureClip(QWidget* owner, const QString& path, media::Ticks& duration) {
    const media::ClipInfo info = probe(fileSystemPath(path));
    if (!info.ok() || info.duration <= 0) {
        showMeasureFailure(owner, path, info.failure);
        return false;
    }
    duration = info.duration;
    return true;
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

bool ClipAdder::add(const QString& path) {
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
    media::Ticks duration = 0;
    if (!measureClip(owner_, path, duration)) {
        ui::showMessage(
            owner_,
            StringText(123) + QLatin1Char(' ') + path + QStringLiteral(". ") + StringText(122),
            StringText(105) + QStringLiteral(" IDS_MESSAGE_NO_DURATION"));
        return false;
    }
    const TransitionChoice transition = transitionForNewClip(defaults_, clips_.count(), random_);
    const ClipListResult appended =
        clips_.append(stored, duration, transition.index, transition.duration);
    if (appended != ClipListResult::Ok) {
        ui::showMessage(owner_, QString::fromStdString(clipListResultText(appended, stored)),
                        StringText(105));
        return false;
    }
    ++added_;
    lastAdded_ = path;
    return true;
}

void ClipAdder::finish() {
    if (refusedForFullList_ == 0) return;
    ui::showMessage(owner_, fullListText(refusedForFullList_, firstRefused_), StringText(105));
    refusedForFullList_ = 0;
}
