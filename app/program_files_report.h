// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Says where the program found its own files: its folder, the help page and the language
// files beside it. Written to Qt's log under the category "clipfuse.files" at info level,
// which is silent unless switched on (QT_LOGGING_RULES="clipfuse.files.info=true"); an
// installation that went wrong is told apart from one that works without opening a window.
void reportProgramFiles();
