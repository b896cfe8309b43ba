// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ui/control_id.h"
// Numeric ids of the main window's controls and commands. Every control carries its id in
// the property "controlId", so handlers, translation and tests find controls by id.

namespace ids {

using ui::kControlIdProperty;

inline constexpr int kMainDialog = 102;
inline constexpr int kAboutDialog = 100;

inline constexpr int kJoin = 1000;
inline constexpr int kOptions = 1003;
inline constexpr int kAddVideo = 1006;
inline constexpr int kClipList = 1008;
inline constexpr int kTransition = 1016;
inline constexpr int kPreview = 1019;
inline constexpr int kStatusLine = 1021;
inline constexpr int kDeleteSelected = 1029;
inline constexpr int kDeleteAll = 1030;
inline constexpr int kMoveUp = 1031;
inline constexpr int kMoveDown = 1032;
inline constexpr int kClipProperties = 1033;
inline constexpr int kAbout = 1042;
inline constexpr int kHomepage = 1047;
inline constexpr int kExit = 1058;
inline constexpr int kHelp = 1059;
inline constexpr int kButtonFrame = -1;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kHelpCommand = 57670;
inline constexpr int kPopupAbout = 32777;
inline constexpr int kPopupFont = 32778;
inline constexpr int kFirstLanguageCommand = 45400;
inline constexpr int kLastLanguageCommand = 46399;
inline constexpr int kPopupMenu = 161;

inline constexpr int kProgressTimer = 1112;

}  // namespace ids
