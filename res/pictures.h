// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's pictures, by resource id, drawn by the program itself so that they stay
// sharp at any scale and need no files beside it.
#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace res {

// Icons: 128 program and Join, 140 Add Video, 145 Transition, 146 Options, 147 Preview,
// 150 move up, 151 move down, 152 delete, 154 delete all, 155 properties.
// An unknown id gives a null icon.
QIcon icon(int id);

// Bitmap 139: the tile laid over the main window's background.
QPixmap backgroundTile();

// Cursor 141: a 32 x 32 pointing hand with its hot spot at the fingertip (5, 0), shown over
// the command buttons and the links.
QCursor buttonCursor();

}  // namespace res
