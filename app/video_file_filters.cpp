// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/video_file_filters.h"

QStringList videoFileFilters() {
    // A Qt filter's text is its pattern list, so the video filter names every extension
    // it matches, separated by blanks. This platform's "every file" pattern is "*": "*.*"
    // would miss files without an extension.
    return {QStringLiteral("Any Files (*)"),
            QStringLiteral(
                "Video Files (*.mpeg *.mpg *.avi *.asf *.wmv *.dat *.vob *.ogm *.divx *.div *.mkv "
                "*.3gp *.mp4 *.psp *.flac *.flv)")};
}
