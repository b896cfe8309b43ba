// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_option_values.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

#include "output/output_extension.h"

namespace output {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int32_t clampToInt32(long long v) {
    constexpr long long lo = std::numeric_limits<std::int32_t>::min();
    constexpr long long hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

// The text from its first non-blank character, with the sign taken off.
struct SignedText {
    std::string digits;
    bool negative = false;
};

SignedText afterSign(const QString& text) {
    const std::string s = text.toStdString();
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    SignedText r;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        r.negative = s[i] == '-';
        ++i;
    }
    r.digits = s.substr(i);
    return r;
}

}  // namespace

int frameSizeRow(int width, int height) {
    for (int row = 0; row < kCustomSizeRow; ++row)
        if (kPresetFrameSizes[row].width == width && kPresetFrameSizes[row].height == height)
            return row;
    return width == 0 && height == 0 ? kOriginalSizeRow : kCustomSizeRow;
}

bool canCopyUnchanged(int formatCode, std::string_view videoEncoder) {
    return (formatCode == kMp4 || formatCode == kMkv) && videoEncoder == "libx264";
}

int formatRow(int code) {
    for (int row = 0; row < static_cast<int>(std::size(kFormatRows)); ++row)
        if (kFormatRows[row].code == code) return row;
    return 0;
}

int formatCodeOfRow(int row) {
    if (row < 0 || row >= static_cast<int>(std::size(kFormatRows))) return kFormatRows[0].code;
    return kFormatRows[row].code;
}

int audioBitrateRow(int bitrate) {
    for (int row = 0; row < 4; ++row)
        if (kAudioBitrates[row] == bitrate) return row;
    return -1;
}

std::int32_t leadingInteger(const QString& text) {
    const SignedText t = afterSign(text);
    long long value = 0;
    for (char c : t.digits) {
        if (!isDigit(c)) break;
        // Stop growing once far beyond 32 bits; the result is clamped anyway.
        if (value < (1LL << 40)) value = value * 10 + (c - '0');
    }
    return clampToInt32(t.negative ? -value : value);
}

double leadingDecimal(const QString& text) {
    const SignedText t = afterSign(text);
    const std::string& s = t.digits;
    // Digits, one point, more digits, then an exponent only when it has digits.
    std::size_t end = 0;
    bool anyDigit = false;
    while (end < s.size() && isDigit(s[end])) ++end, anyDigit = true;
    if (end < s.size() && s[end] == '.') {
        ++end;
        while (end < s.size() && isDigit(s[end])) ++end, anyDigit = true;
    }
    if (!anyDigit) return 0.0;
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        if (e < s.size() && isDigit(s[e])) {
            while (e < s.size() && isDigit(s[e])) ++e;
            end = e;
        }
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + end, value);
    (void)ptr;
    if (ec != std::errc() || !std::isfinite(value)) return 0.0;
    return t.negative ? -value : value;
}

int frameSide(const QString& text) {
    const int rounded = leadingInteger(text) / 8 * 8;
    return rounded < 16 ? 16 : rounded;
}

std::int32_t videoBitrateFromKbps(const QString& text) {
    return clampToInt32(static_cast<long long>(leadingInteger(text)) * kVideoBitrateUnit);
}

}  // namespace output
