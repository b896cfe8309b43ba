// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of clipfuse-join: the output, the clips in order, and the settings that
// override the user's stored ones for this join alone.
#include <QString>
#include <QStringList>
#include <optional>

#include "app/transition_defaults.h"

namespace cli {

struct JoinRequest {
    QString output;
    QStringList clips;

    std::optional<int> format;  // container code 0..6
    std::optional<int> width;   // with height; 0 and 0 keep the clips' size
    std::optional<int> height;
    std::optional<double> frameRate;
    bool originalFrameRate = false;  // the first clip's rate ("--fps original")
    std::optional<int> resizeMode;   // 2 keep the aspect ratio, 0 stretch
    std::optional<TransitionMode> transitionMode;
    std::optional<int> effect;  // 0..46; implies the Same mode
    std::optional<int> transitionSeconds;
    std::optional<QString> videoCodec;  // an encoder or list name, or "none"
    std::optional<QString> audioCodec;
    std::optional<int> videoBitrate;  // bits per second
    std::optional<int> audioBitrate;

    bool reencodeAll = false;  // encode every picture, copy none of the clips' own
    bool replace = false;      // answers Yes when the output exists
    bool quiet = false;        // no progress line
    bool verbose = false;      // the media library's own warnings and errors on stderr
};

struct ParsedArguments {
    std::optional<JoinRequest> request;  // set when the command line is usable
    bool helpWanted = false;  // --help or --version: the text is the answer, not an error
    QString text;             // the help, the version, or what is wrong with the command line
};

// `arguments` as the program receives them, the program name first.
ParsedArguments parseJoinArguments(const QStringList& arguments);

// The container code of an extension or format name ("wmv", "mkv", "ogm", ...); nothing
// for one the program does not write.
std::optional<int> formatCode(const QString& name);

}  // namespace cli
