// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "ui/control_id.h"
// Control ids of the output options dialog (dialog 129). Every control carries its id in
// the property "controlId", so handlers, translation and tests find it.

namespace outputdlg {

using ui::kControlIdProperty;
inline constexpr int kDialogId = 129;

inline constexpr int kVideoCompressorList = 1001;
inline constexpr int kAudioCompressorList = 1002;
inline constexpr int kOutputFile = 1022;
inline constexpr int kOutputFileLabel = 1023;
inline constexpr int kBrowse = 1024;
inline constexpr int kResolutionList = 1025;
inline constexpr int kResolutionLabel = 1026;
inline constexpr int kWidth = 1027;
inline constexpr int kHeight = 1028;
inline constexpr int kDefault = 1051;
inline constexpr int kScratchList = 1052;
inline constexpr int kSettings = 1053;
inline constexpr int kFrameRateList = 1055;
inline constexpr int kFrameRate = 1056;
inline constexpr int kResizeList = 1057;
inline constexpr int kOk = 1065;
inline constexpr int kCancel = 1066;
inline constexpr int kCompressorNote = 1067;
inline constexpr int kFrameRateLabel = 1068;
inline constexpr int kResizeLabel = 1069;
inline constexpr int kVideoCompressorLabel = 1070;
inline constexpr int kAudioCompressorLabel = 1071;
inline constexpr int kVideoBitrateLabel = 1086;
inline constexpr int kAudioBitrateLabel = 1087;
inline constexpr int kVideoBitrate = 1088;
inline constexpr int kAudioBitrateList = 1089;
inline constexpr int kVideoBitrateUnit = 1090;
inline constexpr int kAudioBitrateUnit = 1091;
inline constexpr int kAudioBitrateShadow = 1092;
inline constexpr int kFormatList = 1093;
inline constexpr int kFormatLabel = 1096;
inline constexpr int kOggVideoCodec = 1097;
inline constexpr int kOggAudioCodec = 1098;
inline constexpr int kCopyUnchanged = 1100;

}  // namespace outputdlg
