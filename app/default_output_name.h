// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QWidget;

// The output file offered when none is stored: "video_join.avi" in the user's video folder
// (the home folder when there is no video folder); the format's extension is applied later.
// When not even a home folder is known, shows "Can not get My Video directory!" and names
// the file in the current folder.
QString defaultOutputName(QWidget* owner);
