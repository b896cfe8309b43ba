// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// What the clip property dialog edits: the file, the transition and its whole seconds.
struct ClipPropertyEdit {
    QString fileName;
    int transitionIndex = 0;
    int transitionSeconds = 0;
};
