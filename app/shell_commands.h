// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Commands that hand something to the desktop: the help pages, the vendor's home page, and
// the selected clips opened in the user's own player.
#include <vector>

class ClipList;
class QWidget;

// Opens help/index.html beside the program; says so when the help is missing or cannot be
// shown.
void openHelp(QWidget* owner);

void openHomePage(QWidget* owner);

// Opens the clips of `selectedRows` (ascending), top to bottom, with the desktop's player.
// Nothing happens for an empty list; no selection shows "Please select an item in the list
// first"; a missing file shows "<path> does not exist!" and ends the walk.
void openClipsInPlayer(QWidget* owner, const ClipList& clips, const std::vector<int>& selectedRows);
