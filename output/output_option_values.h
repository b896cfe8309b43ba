// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of the output options dialog's lists and the rules that turn typed text into
// output option values.
#include <QString>
#include <cstdint>
#include <string_view>

namespace output {

struct FrameSize {
    int width;
    int height;
};

// Rows 0..9 of the resolution list, then the custom size and the clips' own size. The two
// HD sizes come after the older ones, so the rows a user knew keep their places.
inline constexpr FrameSize kPresetFrameSizes[] = {
    {800, 600}, {640, 480}, {720, 576}, {720, 480},  {480, 576},
    {480, 480}, {352, 288}, {352, 240}, {1280, 720}, {1920, 1080}};
inline constexpr int kCustomSizeRow = 10;
// Width and height 0: each join takes the first clip's size.
inline constexpr int kOriginalSizeRow = 11;
// The preset row of exactly that size, the original-size row for 0 by 0, or the custom row.
int frameSizeRow(int width, int height);

// The Output Format list's rows, in the order shown, and the format code of each.
struct FormatRow {
    const char* name;
    int code;
};
inline constexpr FormatRow kFormatRows[] = {{"WMV", 1}, {"ASF", 3}, {"AVI", 0}, {"MKV", 2},
                                            {"MP4", 4}, {"OGM", 6}, {"DSM", 5}};
// The row that shows a format code; row 0 ("WMV") for a code the program does not know.
int formatRow(int code);
// The code a row stands for; WMV for no row.
int formatCodeOfRow(int row);

// Rows 0..4 of the frame-rate list; row 5 is a custom rate, row 6 the first clip's rate
// (stored as that row, so that the rows stored before it keep their meaning).
inline constexpr double kPresetFrameRates[] = {23.976, 24.0, 25.0, 29.97, 30.0};
inline constexpr int kCustomRateRow = 5;
inline constexpr int kOriginalRateRow = 6;
// Rates below this are refused.
inline constexpr double kMinimumFrameRate = 0.001;

// Whether a join can copy the clips' unchanged pictures into this output: only H.264 from
// libx264 in an MP4 or Matroska file can carry them beside the encoded ones.
bool canCopyUnchanged(int formatCode, std::string_view videoEncoder);

// The audio bitrate list's rows, in bits per second; the list shows kilobits of 1000 bits.
inline constexpr int kAudioBitrates[] = {64000, 128000, 192000, 320000};
// The row of exactly that bitrate, or -1.
int audioBitrateRow(int bitrate);
// The video bitrate edit shows kilobits of 1024 bits.
inline constexpr int kVideoBitrateUnit = 1024;
// What the Default button puts in the bitrate controls.
inline constexpr int kDefaultVideoKbps = 780;
inline constexpr int kDefaultAudioRow = 1;

// The leading decimal integer of `text`, after blanks and with an optional sign, as a C
// program reads a number: "12px" is 12, text without digits is 0. Kept within 32 bits.
std::int32_t leadingInteger(const QString& text);
// The leading decimal number of `text` in the same way ("25fps" is 25, "0,5" is 0); the
// decimal point is always ".", whatever the user's locale. Infinity and NaN read as 0.
double leadingDecimal(const QString& text);

// A typed frame width or height: rounded toward zero to a multiple of 8, and at least 16.
int frameSide(const QString& text);

// The video bitrate edit's number of Kbps in bits per second, kept within 32 bits.
std::int32_t videoBitrateFromKbps(const QString& text);

}  // namespace output
