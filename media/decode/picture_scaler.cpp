// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/picture_scaler.h"

#include <algorithm>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace media::decode {
namespace {

// The full-range "J" formats are the same layouts with another range: name the layout
// and say the range, as libswscale asks.
AVPixelFormat withoutRange(AVPixelFormat f, bool& fullRange) {
    switch (f) {
        case AV_PIX_FMT_YUVJ420P:
            fullRange = true;
            return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P:
            fullRange = true;
            return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P:
            fullRange = true;
            return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P:
            fullRange = true;
            return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P:
            fullRange = true;
            return AV_PIX_FMT_YUV411P;
        default:
            return f;
    }
}

int swsColourspace(AVColorSpace c) {
    switch (c) {
        case AVCOL_SPC_BT709:
            return SWS_CS_ITU709;
        case AVCOL_SPC_FCC:
            return SWS_CS_FCC;
        case AVCOL_SPC_SMPTE240M:
            return SWS_CS_SMPTE240M;
        case AVCOL_SPC_BT2020_NCL:
        case AVCOL_SPC_BT2020_CL:
            return SWS_CS_BT2020;
        default:
            return SWS_CS_ITU601;  // untagged pictures are taken as FFmpeg writes them
    }
}

}  // namespace

Status PictureScaler::scale(const AVFrame& src, Frame& target, const Rect& r) {
    bool fullRange = src.color_range == AVCOL_RANGE_JPEG;
    AVPixelFormat format = withoutRange(static_cast<AVPixelFormat>(src.format), fullRange);
    // An interlaced picture is scaled from its first field alone: its two fields were taken
    // at different moments, and scaling them together would comb every moving edge.
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    const bool oneField = src.interlaced_frame && src.height >= 4 && desc &&
                          !(desc->flags & AV_PIX_FMT_FLAG_PAL) &&
                          !(desc->flags & AV_PIX_FMT_FLAG_BITSTREAM);
    const int srcHeight = oneField ? (src.height + 1) / 2 : src.height;
    int srcStrides[4] = {src.linesize[0], src.linesize[1], src.linesize[2], src.linesize[3]};
    if (oneField)
        for (int& stride : srcStrides) stride *= 2;
    SwsContext* ctx =
        sws_getCachedContext(sws_.release(), src.width, srcHeight, format, r.width, r.height,
                             AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    sws_.reset(ctx);
    if (!ctx)
        return Status::fail("Cannot convert a picture of " + std::to_string(src.width) + " x " +
                            std::to_string(src.height) + ".");
    sws_setColorspaceDetails(ctx, sws_getCoefficients(swsColourspace(src.colorspace)),
                             fullRange ? 1 : 0, sws_getCoefficients(SWS_CS_ITU601), 0, 0, 1 << 16,
                             1 << 16);
    uint8_t* dst[4] = {target.row(0, r.y) + r.x, target.row(1, r.y / 2) + r.x / 2,
                       target.row(2, r.y / 2) + r.x / 2, nullptr};
    int strides[4] = {target.stride(0), target.stride(1), target.stride(2), 0};
    int rows = sws_scale(ctx, src.data, srcStrides, 0, srcHeight, dst, strides);
    if (rows <= 0) return Status::fail("A picture could not be converted.");
    return Status::ok();
}

Status PictureScaler::draw(const AVFrame& src, int rotation, StretchMode mode, Frame& dst) {
    if (src.width <= 0 || src.height <= 0 || !src.data[0])
        return Status::invalidArg("An empty picture.");
    DisplayShape shape{src.width, src.height, src.sample_aspect_ratio.num,
                       src.sample_aspect_ratio.den, rotation};
    Rect r = fitPicture(shape, dst.width(), dst.height(), mode);
    if (rotation == 0) return scale(src, dst, r);

    const bool sideways = rotation == 90 || rotation == 270;
    const int w = sideways ? r.height : r.width, h = sideways ? r.width : r.height;
    if (turned_.width() != w || turned_.height() != h) turned_ = Frame(w, h);
    Status s = scale(src, turned_, Rect{0, 0, w, h});
    if (!s) return s;
    rotateInto(turned_, rotation, dst, r);
    return Status::ok();
}

void rotateInto(const Frame& src, int rotation, Frame& dst, const Rect& r) {
    for (int p = 0; p < Frame::kPlanes; ++p) {
        const int shift = p == 0 ? 0 : 1;
        const int sw = src.planeWidth(p), sh = src.planeHeight(p);
        const int x0 = r.x >> shift, y0 = r.y >> shift;
        const int dw = rotation == 180 ? sw : sh, dh = rotation == 180 ? sh : sw;
        const int maxW = std::min(dw, dst.planeWidth(p) - x0),
                  maxH = std::min(dh, dst.planeHeight(p) - y0);
        for (int y = 0; y < maxH; ++y) {
            std::uint8_t* out = dst.row(p, y0 + y) + x0;
            if (rotation == 180) {
                const std::uint8_t* in = src.row(p, sh - 1 - y);
                for (int x = 0; x < maxW; ++x) out[x] = in[sw - 1 - x];
            } else if (rotation == 90) {
                // Output row y is input column y, read from the bottom up.
                for (int x = 0; x < maxW; ++x) out[x] = src.row(p, sh - 1 - x)[y];
            } else {
                for (int x = 0; x < maxW; ++x) out[x] = src.row(p, x)[sw - 1 - y];
            }
        }
    }
}

}  // namespace media::decode
