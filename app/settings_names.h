// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Section and value names of the settings file, spelled exactly as they are stored (the
// misspelt "nOuptputFormat" and "OutputHigh" included: stored files rely on them).
#include <QString>

namespace settings {

inline const QString kOption = QStringLiteral("Option");
inline const QString kCurrentLanguage = QStringLiteral("CurrentLanguage");
inline const QString kLastPhotoFolder = QStringLiteral("LastPhotoFolder");

inline const QString kSettings = QStringLiteral("Settings");
inline const QString kOutputFormat = QStringLiteral("nOuptputFormat");
inline const QString kOutputName = QStringLiteral("OutputName");
inline const QString kOutputWidth = QStringLiteral("OutputWidth");
inline const QString kOutputHeight = QStringLiteral("OutputHigh");
inline const QString kOutputFrameRateIndex = QStringLiteral("OutputFrameRateIndex");
inline const QString kOutputFrameRate = QStringLiteral("OutputFrameRate");
inline const QString kVideoBitrate = QStringLiteral("n_video_bitrate");
inline const QString kAudioBitrate = QStringLiteral("n_audio_bitrate");
inline const QString kFileProfile = QStringLiteral("b_file_profile");
inline const QString kCopyUnchanged = QStringLiteral("CopyUnchanged");

inline const QString kVideoCompress = QStringLiteral("DexVideoCompress");
inline const QString kAudioCompress = QStringLiteral("DexAudioCompress");
inline const QString kCompressorNumber = QStringLiteral("CompressorNumber");

inline const QString kTransitionSettings = QStringLiteral("TransitionSettings");
inline const QString kTransitionDuration = QStringLiteral("TransitionDuration");
inline const QString kTransitionType = QStringLiteral("TransitionType");
inline const QString kTransitionName = QStringLiteral("TransitionName");

// The interface font of a language lives in the section named after the language. The
// face name is a text, every other value an integer.
inline const QString kFontIntegerNames[] = {
    QStringLiteral("lfHeight"),      QStringLiteral("lfWidth"),        QStringLiteral("lfEscapement"),
    QStringLiteral("lfOrientation"), QStringLiteral("lfWeight"),       QStringLiteral("lfItalic"),
    QStringLiteral("lfUnderline"),   QStringLiteral("lfStrikeOut"),    QStringLiteral("lfCharSet"),
    QStringLiteral("lfOutPrecision"), QStringLiteral("lfClipPrecision"), QStringLiteral("lfPitchAndFamily")};
inline const QString kFontFaceName = QStringLiteral("lfFaceName");

// Defaults when a value is missing.
inline const QString kDefaultLastPhotoFolder;
inline const QString kDefaultLanguage = QStringLiteral("english");
constexpr int kDefaultOutputFormat = 1;
constexpr int kDefaultWidth = 352;
constexpr int kDefaultHeight = 240;
constexpr int kDefaultFrameRateIndex = 0;
inline const QString kDefaultFrameRate = QStringLiteral("23.976");
constexpr int kDefaultVideoBitrate = 798720;
constexpr int kDefaultAudioBitrate = 128000;
constexpr int kDefaultFileProfile = 0;
constexpr int kDefaultCopyUnchanged = 1;
constexpr int kAutomaticCompressor = -2;  // choose automatically
constexpr int kNoCompressor = -1;
constexpr int kDefaultTransitionSeconds = 1;
constexpr int kDefaultTransitionType = 0;
constexpr int kDefaultTransitionName = 0;

}  // namespace settings
