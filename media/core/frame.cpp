// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/frame.h"

#include <algorithm>
#include <cstring>

namespace media {
namespace {

int alignUp(int v, int a) { return (v + a - 1) / a * a; }
std::uint8_t clamp8(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

Frame::Frame(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) {
        width_ = height_ = 0;
        return;
    }
    std::size_t total = 0;
    std::array<std::size_t, kPlanes> offset{};
    for (int p = 0; p < kPlanes; ++p) {
        stride_[p] = alignUp(planeWidth(p), kAlign);
        offset[p] = total;
        // One spare row of padding lets vector code read past the last row safely.
        total += static_cast<std::size_t>(stride_[p]) * (planeHeight(p) + 1);
    }
    auto* base = static_cast<std::uint8_t*>(::operator new[](total, std::align_val_t(kAlign)));
    storage_ = std::shared_ptr<std::uint8_t[]>(
        base, [](std::uint8_t* q) { ::operator delete[](q, std::align_val_t(kAlign)); });
    std::memset(base, 0, total);
    for (int p = 0; p < kPlanes; ++p) plane_[p] = base + offset[p];
    fillBlack();
}

void Frame::fill(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
    const std::uint8_t value[kPlanes] = {y, u, v};
    for (int p = 0; p < kPlanes && !empty(); ++p)
        for (int r = 0; r < planeHeight(p); ++r) std::memset(row(p, r), value[p], stride_[p]);
}

void Frame::fillRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    auto yuv = rgbToYuv(r, g, b);
    fill(yuv[0], yuv[1], yuv[2]);
}

std::array<std::uint8_t, 3> rgbToYuv(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    // Integer BT.601 coefficients scaled by 256, limited range.
    int y = ((66 * r + 129 * g + 25 * b + 128) >> 8) + 16;
    int u = ((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128;
    int v = ((112 * r - 94 * g - 18 * b + 128) >> 8) + 128;
    return {clamp8(y), clamp8(u), clamp8(v)};
}

std::array<std::uint8_t, 3> yuvToRgb(std::uint8_t y, std::uint8_t u, std::uint8_t v) {
    int c = y - 16, d = u - 128, e = v - 128;
    int r = (298 * c + 409 * e + 128) >> 8;
    int g = (298 * c - 100 * d - 208 * e + 128) >> 8;
    int b = (298 * c + 516 * d + 128) >> 8;
    return {clamp8(r), clamp8(g), clamp8(b)};
}

std::array<std::uint8_t, 3> Frame::rgbAt(int x, int y) const {
    return yuvToRgb(row(0, y)[x], row(1, y / 2)[x / 2], row(2, y / 2)[x / 2]);
}

std::vector<std::uint8_t> Frame::toRgb24() const {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 3);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* py = row(0, y);
        const std::uint8_t* pu = row(1, y / 2);
        const std::uint8_t* pv = row(2, y / 2);
        std::uint8_t* o = out.data() + static_cast<std::size_t>(y) * width_ * 3;
        for (int x = 0; x < width_; ++x) {
            auto rgb = yuvToRgb(py[x], pu[x / 2], pv[x / 2]);
            o[3 * x] = rgb[0];
            o[3 * x + 1] = rgb[1];
            o[3 * x + 2] = rgb[2];
        }
    }
    return out;
}

Frame Frame::fromRgb24(const std::uint8_t* rgb, int width, int height, int rgbStride) {
    Frame f(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgb + static_cast<std::ptrdiff_t>(y) * rgbStride;
        std::uint8_t* py = f.row(0, y);
        for (int x = 0; x < width; ++x) py[x] = rgbToYuv(in[3 * x], in[3 * x + 1], in[3 * x + 2])[0];
    }
    // Chroma from the average of each 2x2 block (fewer pixels at an odd edge).
    for (int cy = 0; cy < f.planeHeight(1); ++cy) {
        for (int cx = 0; cx < f.planeWidth(1); ++cx) {
            int r = 0, g = 0, b = 0, n = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    int x = 2 * cx + dx, y = 2 * cy + dy;
                    if (x >= width || y >= height) continue;
                    const std::uint8_t* p = rgb + static_cast<std::ptrdiff_t>(y) * rgbStride + 3 * x;
                    r += p[0], g += p[1], b += p[2], ++n;
                }
            auto yuv = rgbToYuv(static_cast<std::uint8_t>(r / n), static_cast<std::uint8_t>(g / n),
                                static_cast<std::uint8_t>(b / n));
            f.row(1, cy)[cx] = yuv[1];
            f.row(2, cy)[cx] = yuv[2];
        }
    }
    return f;
}

Frame deepCopy(const Frame& f) {
    Frame c(f.width(), f.height());
    c.pts = f.pts;
    for (int p = 0; p < Frame::kPlanes && !f.empty(); ++p)
        for (int r = 0; r < f.planeHeight(p); ++r)
            std::memcpy(c.row(p, r), f.row(p, r), static_cast<std::size_t>(f.planeWidth(p)));
    return c;
}

}  // namespace media
