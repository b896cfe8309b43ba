// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the status line 1021.
#include <QString>

#include "media/core/ticks.h"
#include "media/smart/copy_report.h"

struct OutputOptions;

// "Output file: <name>     Resolution: <w>*<h>", or "... Resolution: Original size" when
// width and height are both 0. Shown at start and after the options change.
QString settingsStatusText(const OutputOptions& options);

// The line a finished or stopped Join leaves: "Done. " followed by the settings line and,
// when the join tried to copy the clips' unchanged pictures, how much it copied:
// "     1:42 of 2:00 copied", or "     0:00 copied: <why>" when it could copy nothing.
QString doneStatusText(const OutputOptions& options, const media::CopyReport& copied = {});

// "     Length: hh:mm:ss": the end of the status line, the length of the joined result
// (whole seconds, the fraction dropped).
QString lengthStatusText(media::Ticks length);

// "Please wait... Used Time: hh:mm:ss" for `seconds` elapsed.
QString progressStatusText(int seconds);

// The progress line of a running Join: the text above, the share done and, once it can be
// told, the time left: "Please wait... Used Time: 00:00:05   46%   about 00:00:06 left".
// `done` is the share of the result written, 0..1; a negative share (unknown) shows the
// elapsed time alone.
QString joinProgressText(int seconds, double done);
