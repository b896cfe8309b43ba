// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "media/core/ticks.h"

namespace media {

// A picture in the engine's working format: planar YUV 4:2:0, 8 bits, BT.601 limited
// range, the format most encoders take as it is. Any size is allowed; for an odd width or
// height the chroma planes round up ((w + 1) / 2), as FFmpeg does. Rows are padded to a
// multiple of 64 bytes so that SIMD code and FFmpeg can read whole vectors.
class Frame {
public:
    static constexpr int kPlanes = 3;
    static constexpr int kAlign = 64;
    static constexpr std::uint8_t kBlackY = 16;
    static constexpr std::uint8_t kBlackC = 128;

    Frame() = default;
    Frame(int width, int height);  // filled with black

    bool empty() const { return width_ <= 0 || height_ <= 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    int planeWidth(int p) const { return p == 0 ? width_ : (width_ + 1) / 2; }
    int planeHeight(int p) const { return p == 0 ? height_ : (height_ + 1) / 2; }
    int stride(int p) const { return stride_[p]; }
    std::uint8_t* plane(int p) { return plane_[p]; }
    const std::uint8_t* plane(int p) const { return plane_[p]; }
    std::uint8_t* row(int p, int y) { return plane_[p] + static_cast<std::ptrdiff_t>(y) * stride_[p]; }
    const std::uint8_t* row(int p, int y) const { return plane_[p] + static_cast<std::ptrdiff_t>(y) * stride_[p]; }

    // Presentation time of the picture on the output time axis.
    Ticks pts = 0;

    void fill(std::uint8_t y, std::uint8_t u, std::uint8_t v);
    void fillBlack() { fill(kBlackY, kBlackC, kBlackC); }
    void fillRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b);

    // Conversions for the places that need RGB: uncompressed AVI, the preview window,
    // pictures for the help pages and tests. RGB24 rows are packed (stride = 3 * width).
    std::vector<std::uint8_t> toRgb24() const;
    static Frame fromRgb24(const std::uint8_t* rgb, int width, int height, int rgbStride);

    // The pixel at (x, y) converted to RGB, for tests and diagnostics.
    std::array<std::uint8_t, 3> rgbAt(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::array<int, kPlanes> stride_{};
    std::array<std::uint8_t*, kPlanes> plane_{};
    std::shared_ptr<std::uint8_t[]> storage_;  // frames are cheap to copy; copies share pixels
};

// Make an independent copy whose pixels can be changed without touching the original.
Frame deepCopy(const Frame& f);

// BT.601 limited-range conversion of one pixel.
std::array<std::uint8_t, 3> rgbToYuv(std::uint8_t r, std::uint8_t g, std::uint8_t b);
std::array<std::uint8_t, 3> yuvToRgb(std::uint8_t y, std::uint8_t u, std::uint8_t v);

}  // namespace media
