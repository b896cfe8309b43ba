// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class identifiers the effects answer to. Projects and the transition catalogue
// name effects by these strings, so they never change.
#include <string_view>

namespace media::effects::classid {

inline constexpr std::string_view kIris = "{049F2CE6-D996-4721-897A-DB15CE9EB73D}";
inline constexpr std::string_view kRadialWipe = "{164484A9-35D9-4FB7-9FAB-48273B96AA1D}";
inline constexpr std::string_view kFade = "{16B280C5-EE70-11D1-9066-00C04FD9189D}";
inline constexpr std::string_view kZigZag = "{23E26328-3928-40F2-95E5-93CAD69016EB}";
inline constexpr std::string_view kRandomBars = "{2E7700B7-27C4-437F-9FBF-1E8BE2817566}";
inline constexpr std::string_view kSpiral = "{4A03DCB9-6E17-4A39-8845-4EE7DC5331A5}";
inline constexpr std::string_view kPixelate = "{4CCEA634-FBE0-11D1-906A-00C04FD9189D}";
inline constexpr std::string_view kWheel = "{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}";
inline constexpr std::string_view kStrips = "{63A4B1FC-259A-4A5B-8129-A83B8C9E6F4F}";
inline constexpr std::string_view kInset = "{76F363F2-7E9F-4ED7-A6A7-EE30351B6628}";
inline constexpr std::string_view kBlinds = "{9A4A4A51-FB3A-4F4B-9B57-A2912A289769}";
inline constexpr std::string_view kWipe = "{AF279B30-86EB-11D1-81BF-0000F87557DB}";
inline constexpr std::string_view kCheckerBoard = "{B3EE7802-8224-4787-A1EA-F0DE16DEABD3}";
inline constexpr std::string_view kSlide = "{D1C5A1E7-CC47-4E32-BDD2-4B3C5FC50AF5}";
inline constexpr std::string_view kStretch = "{F088DE73-BDD0-4E3C-81F8-6D32F4FE9D28}";
inline constexpr std::string_view kRandomDissolve = "{F7F4A1B6-8E87-452F-A2D7-3077F508DBC0}";
inline constexpr std::string_view kSmpteWipe = "{DE75D012-7A65-11D2-8CEA-00A0C9441E20}";

}  // namespace media::effects::classid
