// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks that come before a Join (and the first two before a Preview), with the texts
// that tell the user about them. The main window asks its questions in boxes; the
// command-line join answers them from its options. Both go through these, and through the
// text for a join stopped before it wrote anything.
#include <QString>
#include <optional>

class ClipList;
struct OutputOptions;

namespace joincheck {

// Why the list cannot be worked on, as the box shows it: an empty list, or more clips or
// audio sources than a job takes.
struct Refusal {
    QString text;
    QString caption;  // empty: the application title
};
std::optional<Refusal> listRefusal(const ClipList& clips);

// Whether writing `output` would replace one of the clips it is made from.
bool outputIsAClip(const ClipList& clips, const QString& output);
QString outputIsAClipText(const QString& output);

// "<output> exists. Do you want to replace it?"
QString replaceQuestion(const QString& output);

// WMV and ASF are always compressed; every other format without a video compressor
// stores full frames and asks first.
bool asksForVideoCompressor(const OutputOptions& options);
QString noCompressorQuestion();

// What a join stopped before its first picture says: nothing was written and the older
// file of that name, if any, is as it was.
QString stoppedBeforeWritingText(const QString& output);

// Where the no-compressor question sends the user for a codec.
inline constexpr const char* kCodecDownloadPage = "https://www.korvane.com/clipfuse/codecs/";

}  // namespace joincheck
