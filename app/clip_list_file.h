#pragma once
// The clip list kept between runs: written beside the settings after every edit, read back
// at the next start, so that closing the window (or a crash) never loses the project.
#include <QString>
#include <QStringList>

class ClipList;

// The list's file beside a settings file: ".../KORVANE/Clipfuse.ini" keeps its list in
// ".../KORVANE/Clipfuse.cliplist.json".
QString clipListFileBeside(const QString& settingsPath);

// Replaces the file with the clips (files, durations, transitions and their durations);
// atomically, so a crash leaves the old list or the new one, never half of one.
bool saveClipList(const ClipList& clips, const QString& path);

// What a start finds in the kept list.
struct RestoredClipList {
    QStringList missing;   // clips whose files are gone; left out of the list
    bool damaged = false;  // the file could not be read as a clip list: the list starts empty
};

// Appends the kept clips to `clips`. No file is an empty list; a damaged one adds nothing;
// an entry with an impossible value is dropped as damaged. Files that no longer exist are
// named in `missing`.
RestoredClipList restoreClipList(const QString& path, ClipList& clips);

// The one message that names the clips left out: empty when none is.
QString missingClipsText(const QStringList& missing);
