// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file dialog that lets the user find a clip that has moved since it was added; what
// the timeline asks for when it checks its sources before a render.
#include "media/timeline/timeline.h"

class QWidget;

media::LocateFile locateMissingClip(QWidget* owner);
