// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clip list kept between runs: written beside the settings after every edit, read back
// at the next start, so that closing the window (or a crash) never loses the project.
//
// Reading it back trusts nothing: it is read through the reading layer on the media worker
// (a settings folder on a share that stopped answering cannot hang the start), only when it
// is a regular file, and never more than 4 MiB of it. A file that is not what the program
// writes is put aside under a new name beside it, never overwritten, and the user is told
// where it went.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <vector>

#include "media/core/ticks.h"

class ClipList;

// The list's file beside a settings file: ".../KORVANE/Clipfuse.ini" keeps its list in
// ".../KORVANE/Clipfuse.cliplist.json".
QString clipListFileBeside(const QString& settingsPath);

// Replaces the file with the clips (files, durations, transitions and their durations);
// atomically, so a crash leaves the old list or the new one, never half of one.
bool saveClipList(const ClipList& clips, const QString& path);

// One clip as the file keeps it.
struct KeptClip {
    QString file;
    media::Ticks duration = 0;
    int transition = 0;
    media::Ticks transitionDuration = 0;
};

// What a start finds in the kept list's file.
struct KeptClipList {
    std::vector<KeptClip> clips;  // the good entries, in order
    // The file, or an entry of it, is not what the program writes: too large, not a regular
    // file, not JSON of the list's form, or an entry with an impossible value (a transition
    // that does not exist, a transition length outside 0 to 600 s, a negative duration).
    bool damaged = false;
    // The file could not be read in time, or at all: the list starts empty, and it is not
    // written this run, so the kept file stays as it was.
    bool unreadable = false;
    QString reason;  // why it was damaged or unreadable, for the message
    QString keptAs;  // where a damaged file was put aside; empty when it could not be
};

// The list's form in `bytes`.
KeptClipList parseKeptClipList(const QByteArray& bytes);

// Reads the file at `path` on the calling thread (the media worker's), within `limit`; a
// damaged file is put aside (keepDamagedAside). No file is an empty list.
inline constexpr qint64 kMaxKeptListBytes = 4 * 1024 * 1024;
KeptClipList readKeptClipList(const QString& path, std::chrono::milliseconds limit);

// Renames the file at `path` (whatever it is: a link or a pipe is renamed, not followed) to
// a new name beside it, "<name>.damaged-<date>-<time>.json". The new path, or empty.
QString keepDamagedAside(const QString& path);

// The one message after a start has measured the kept clips again: where a damaged file
// went, the clips left out because they no longer measure, the clips that did not answer.
// Empty when there is nothing to say.
QString keptListReport(const QString& path, const KeptClipList& kept, const QStringList& leftOut,
                       const QStringList& notAnswering);
