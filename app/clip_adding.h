// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Adding files to the clip list, as Add Video, drops and the command line do: each file is
// measured, given the transition of the TransitionDefaults and appended. A file that cannot
// be measured is not added and the user is told why (two messages: what the measurement
// met, then that the clip has no duration); the other files of the command go on.
//
// The measuring runs on the window's media worker, one file at a time and in the order
// given, so the window stays usable while a slow file is measured and the messages come in
// the order of the files. Commands given while one runs follow it in turn.
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <random>
#include <string>

#include "app/transition_defaults.h"
#include "media/core/input_file.h"
#include "media/core/ticks.h"
#include "media/probe/clip_info.h"

class ClipList;
class MediaWorker;
class QWidget;
class WindowJobs;

// What measures a file: media::probeClip unless a replacement is installed. Called on the
// media worker's thread.
using ClipProbe = media::ClipInfo (*)(const std::string& path, const media::InputLimits& limits);

// Installs `probe` and returns the previous replacement; nullptr restores media::probeClip.
ClipProbe setClipProbe(ClipProbe probe);

// How long measuring one added file may take in all. Beyond the 30 s that a file may give
// no data, so that a stalled file is named as one.
inline constexpr std::chrono::milliseconds kAddMeasureLimit{45'000};

// One measurement on the calling thread, bounded by `limit` and the thread's ReadCancel.
// `answered` is false when the file gave no answer in time (it may still be a good clip).
struct Measurement {
    media::ClipInfo info;
    bool answered = true;
};
Measurement measureFile(const QString& path, std::chrono::milliseconds limit);

// The file name as the file system spells it.
std::string fileSystemPath(const QString& path);

// The window's side of one adding command. Files are taken in the order given; once the
// list is full the remaining files are refused without being measured, and finish() says
// so once.
class ClipAdder {
public:
    ClipAdder(QWidget* owner, ClipList& clips, const TransitionDefaults& defaults,
              std::mt19937& random);

    // Whether `path` goes on to be measured: false, after saying why when it is not a full
    // list's, for a path the list cannot take.
    bool admit(const QString& path);
    // Appends the measured `path`. False, after showing the messages, when it is not added.
    bool complete(const QString& path, const media::ClipInfo& measured);

    // admit, measure on this thread, complete: for the command-line join, which has no
    // window to keep usable.
    bool add(const QString& path);

    // Ends the command: tells the user once about the files the full list refused.
    void finish();

    int addedCount() const { return added_; }
    QWidget* owner() const { return owner_; }
    // The path of the last clip this command added; empty when none was.
    const QString& lastAddedPath() const { return lastAdded_; }

private:
    QWidget* owner_;
    ClipList& clips_;
    const TransitionDefaults& defaults_;
    std::mt19937& random_;
    int added_ = 0;
    QString lastAdded_;
    QString firstRefused_;
    int refusedForFullList_ = 0;
};

// Where a command's files come from, which says what becomes of one that is not a file:
// the file dialog's are measured as they are (a missing one fails with the two messages);
// a dropped folder or a dropped file that is gone is passed over silently; a file named on
// the command line that does not exist is named in a message, and a folder passed over.
enum class AddingSource { FileDialog, Drop, CommandLine };

// Runs one adding command of `files` through `jobs` and `worker`; `finished` runs on the
// window's thread after the last file, with the command's adder. Even whether a file
// exists is asked on the worker: a share that stopped answering hangs that question too.
void addClips(WindowJobs& jobs, MediaWorker& worker, ClipAdder adder, const QStringList& files,
              AddingSource source, std::function<void(ClipAdder&)> finished);

// "<path> does not exist!", as the window names a file that is gone.
QString doesNotExistText(const QString& path);

// The message for `refused` files that a full list did not take; `firstPath` names the
// only one when there is one.
QString fullListText(int refused, const QString& firstPath);
