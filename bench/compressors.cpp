// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the compressor lists, the Settings button's codec table and opening each
// listed encoder take, and how fast the first video codecs encode 720x480 pictures with
// their default configuration.
#include <chrono>
#include <cstdio>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "media/codecs/codec_configuration.h"
#include "media/codecs/compressor_catalogue.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/log.h"

using namespace media::codecs;
using Clock = std::chrono::steady_clock;

static double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Moving detail over every plane; chroma planes are as high as the format says.
static void paint(AVFrame* f, int n) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f->format));
    for (int p = 0; p < 4 && f->data[p]; ++p) {
        const int h = (p == 1 || p == 2) ? AV_CEIL_RSHIFT(f->height, d->log2_chroma_h) : f->height;
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = f->data[p] + static_cast<std::ptrdiff_t>(y) * f->linesize[p];
            for (int x = 0; x < f->linesize[p]; ++x)
                row[x] = static_cast<std::uint8_t>((x + n * 4) ^ y);
        }
    }
}

int main() {
    media::setLogSink(nullptr);
    media::installFfmpegLogRouting();

    auto t0 = Clock::now();
    auto video = enumerateCompressors(CompressorCategory::Video);
    auto audio = enumerateCompressors(CompressorCategory::Audio);
    std::printf("enumeration: %zu video, %zu audio devices in %.1f ms\n", video.size(),
                audio.size(), msSince(t0));

    t0 = Clock::now();
    auto table = buildCodecTable(video);
    std::printf("codec table (352x240 query): %zu codecs in %.1f ms\n", table.size(), msSince(t0));

    CompressorRegistry registry(video, audio, nullptr);
    for (std::size_t i = 0; i < video.size(); ++i) {
        CompressorRef c;
        GetCompressor(static_cast<int>(i), &c, registry);
        media::av::CodecPtr ctx;
        t0 = Clock::now();
        media::Status s = c ? c->openEncoder(VideoStreamParams{720, 480, {30000, 1001}, false}, ctx)
                            : media::Status::fail("not bound");
        std::printf("  video %2zu %-45s open %7.1f ms %s\n", i, video[i].friendlyName.c_str(),
                    msSince(t0), s.isOk() ? "" : s.text().c_str());
    }
    for (std::size_t i = 0; i < audio.size(); ++i) {
        CompressorRef c;
        GetAudioCompressor(static_cast<int>(i), &c, registry);
        media::av::CodecPtr ctx;
        t0 = Clock::now();
        media::Status s = c ? c->openEncoder(AudioStreamParams{44100, 2, false}, ctx)
                            : media::Status::fail("not bound");
        std::printf("  audio %2zu %-45s open %7.1f ms %s\n", i, audio[i].friendlyName.c_str(),
                    msSince(t0), s.isOk() ? "" : s.text().c_str());
    }

    // Encoding speed of the well-known codecs, defaults, 720x480 moving detail.
    constexpr int kFrames = 48;
    for (std::size_t i = 0; i < video.size() && i < 13; ++i) {
        CompressorRef c;
        GetCompressor(static_cast<int>(i), &c, registry);
        media::av::CodecPtr ctx;
        if (!c || c->openEncoder(VideoStreamParams{720, 480, {25, 1}, false}, ctx).failed())
            continue;
        auto frame = media::av::makeFrame();
        auto packet = media::av::makePacket();
        frame->format = ctx->pix_fmt;
        frame->width = 720;
        frame->height = 480;
        if (av_frame_get_buffer(frame.get(), 0) < 0) continue;
        std::int64_t bytes = 0;
        auto drain = [&] {
            while (avcodec_receive_packet(ctx.get(), packet.get()) == 0) {
                bytes += packet->size;
                av_packet_unref(packet.get());
            }
        };
        t0 = Clock::now();
        for (int n = 0; n < kFrames; ++n) {
            if (av_frame_make_writable(frame.get()) < 0) break;
            paint(frame.get(), n);
            frame->pts = n;
            avcodec_send_frame(ctx.get(), frame.get());
            drain();
        }
        avcodec_send_frame(ctx.get(), nullptr);
        drain();
        const double ms = msSince(t0);
        std::printf("  encode %-45s %6.1f frames/s %8lld bytes for %d frames\n",
                    video[i].friendlyName.c_str(), kFrames * 1000.0 / ms,
                    static_cast<long long>(bytes), kFrames);
    }
    return 0;
}
