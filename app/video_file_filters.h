// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The filters of the dialogs that choose video files, in the order they are offered;
// the first, every file, is the one selected when the dialog opens.
#include <QStringList>

QStringList videoFileFilters();
