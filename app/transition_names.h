// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transition names as the user interface shows them, taken from the catalogue.
#include <QString>

// The name the clip list shows for transition `index` (0 is "None"); an index outside
// 0..46 shows as "Horizontal".
QString transitionListName(int index);

// The text of entry `index` in the transition drop-down lists of the dialogs.
QString transitionMenuName(int index);
