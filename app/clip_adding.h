#pragma once
// Adding files to the clip list, as Add Video and drops do: each file is measured, given the
// transition of the TransitionDefaults and appended. A file that cannot be measured is not
// added and the user is told why (two messages: what the measurement met, then that the
// clip has no duration); the other files of the command go on.
#include <QString>
#include <random>
#include <string>

#include "app/transition_defaults.h"
#include "media/core/ticks.h"
#include "media/probe/clip_info.h"

class ClipList;
class QWidget;

// What measures a file when it is added: media::probeClip unless a replacement is installed.
using ClipProbe = media::ClipInfo (*)(const std::string& path);

// Installs `probe` and returns the previous replacement; nullptr restores media::probeClip.
ClipProbe setClipProbe(ClipProbe probe);

// Measures `path` and shows the message of the step that failed. On success `duration`
// holds the clip's length. `owner` owns the boxes that the window shows as its own.
bool measureClip(QWidget* owner, const QString& path, media::Ticks& duration);

// One adding command. Files are added in the order given; once the list is full the
// remaining files are refused without being measured, and finish() says so once.
class ClipAdder {
public:
    ClipAdder(QWidget* owner, ClipList& clips, const TransitionDefaults& defaults,
              std::mt19937& random);

    // Measures `path` and appends it. False, after showing the messages, when it is not added.
    bool add(const QString& path);

    // Ends the command: tells the user once about the files the full list refused.
    void finish();

    int addedCount() const { return added_; }
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

// The message for `refused` files that a full list did not take; `firstPath` names the
// only one when there is one.
QString fullListText(int refused, const QString& firstPath);
