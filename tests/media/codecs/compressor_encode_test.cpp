// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "media/codecs/codec_configuration.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/log.h"
#include "support/media/test_media.h"

using namespace media::codecs;

namespace {

struct EncodeResult {
    std::int64_t bytes = 0;
    int packets = 0;
    int keyPackets = 0;
};

// A picture with detail that moves from frame to frame, so rate control has work to do.
void paint(AVFrame* f, int index) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f->format));
    for (int p = 0; p < 3 && f->data[p]; ++p) {
        const int w = p == 0 ? f->width : AV_CEIL_RSHIFT(f->width, d->log2_chroma_w);
        const int h = p == 0 ? f->height : AV_CEIL_RSHIFT(f->height, d->log2_chroma_h);
        std::uint32_t noise =
            12345u + static_cast<std::uint32_t>(index) * 7919u + static_cast<std::uint32_t>(p);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = f->data[p] + static_cast<std::ptrdiff_t>(y) * f->linesize[p];
            for (int x = 0; x < w; ++x) {
                noise = noise * 1664525u + 1013904223u;
                row[x] = static_cast<std::uint8_t>(((x + index * 3) ^ (y * 2)) + (noise >> 28));
            }
        }
    }
}

EncodeResult encodeFrames(AVCodecContext* ctx, int count) {
    EncodeResult r;
    auto frame = media::av::makeFrame();
    auto packet = media::av::makePacket();
    frame->format = ctx->pix_fmt;
    frame->width = ctx->width;
    frame->height = ctx->height;
    EXPECT_GE(av_frame_get_buffer(frame.get(), 0), 0);
    auto drain = [&] {
        while (avcodec_receive_packet(ctx, packet.get()) == 0) {
            r.bytes += packet->size;
            ++r.packets;
            r.keyPackets += (packet->flags & AV_PKT_FLAG_KEY) != 0;
            av_packet_unref(packet.get());
        }
    };
    for (int i = 0; i < count; ++i) {
        EXPECT_GE(av_frame_make_writable(frame.get()), 0);
        paint(frame.get(), i);
        frame->pts = i;
        EXPECT_GE(avcodec_send_frame(ctx, frame.get()), 0);
        drain();
    }
    avcodec_send_frame(ctx, nullptr);
    drain();
    return r;
}

struct Fixture {
    std::shared_ptr<const CodecStateStore> store;
    CompressorRegistry registry;
    explicit Fixture(const std::string& name, std::vector<CompressorDevice> video,
                     std::vector<CompressorDevice> audio = {})
        : store(std::make_shared<const CodecStateStore>(testmedia::scratchDir(name))),
          registry(std::move(video), std::move(audio), store) {
        media::installFfmpegLogRouting();  // the encoders' statistics stay out of the test log
    }

    CompressorRef video(int index) const {
        CompressorRef c;
        EXPECT_TRUE(GetCompressor(index, &c, registry).isOk());
        return c;
    }
};

const VideoStreamParams kSd{352, 240, {24000, 1001}, false};

}  // namespace

TEST(CompressorEncode, AnAcceptedConfigurationReachesTheRendersEncoder) {
    Fixture fx("encode_configured",
               {{"mpeg4", "DivX-compatible MPEG-4 (mpeg4)", CompressorCategory::Video, 7}});
    const CompressorRef divx = fx.video(0);
    ASSERT_TRUE(divx);

    media::av::CodecPtr ctx;
    ASSERT_TRUE(divx->openEncoder(kSd, ctx).isOk());
    const EncodeResult before = encodeFrames(ctx.get(), 24);

    // The user picks a much lower bitrate and a short key-frame distance in the dialog.
    CodecStateBuffer buffer;
    auto dialog = [](const CodecOptions& o,
                     const EncoderSettings& current) -> std::optional<EncoderSettings> {
        EXPECT_EQ(current, o.defaults);
        EncoderSettings s = current;
        s.rateControl = RateControl::Bitrate;
        s.bitrate = 64'000;
        s.keyFrameInterval = 6;
        return s;
    };
    const auto t = buildCodecTable(fx.registry.devices(CompressorCategory::Video));
    auto outcome =
        configureVideoCodec("DivX-compatible MPEG-4 (mpeg4)", t, buffer, fx.store, dialog);
    ASSERT_EQ(outcome.kind, ConfigureResultKind::Accepted);

    // The compressor bound before the configuration uses it too: it is read at each open.
    ASSERT_TRUE(divx->openEncoder(kSd, ctx).isOk());
    EXPECT_EQ(ctx->gop_size, 6);
    const EncodeResult after = encodeFrames(ctx.get(), 24);
    EXPECT_LT(after.bytes * 3, before.bytes) << before.bytes << " -> " << after.bytes;
    EXPECT_EQ(before.keyPackets, 1);
    EXPECT_EQ(after.keyPackets, 4);
    EXPECT_EQ(after.packets, 24);
}

TEST(CompressorEncode, X264TakesItsPresetAndQuality) {
    Fixture fx("encode_x264", {{"libx264", "H.264", CompressorCategory::Video, 7}});
    const CompressorRef h264 = fx.video(0);
    ASSERT_TRUE(h264);
    const VideoStreamParams small{160, 96, {25, 1}, true};

    EncoderSettings fine = codecOptionsFor("libx264").defaults;
    fine.preset = "ultrafast";
    fine.quality = 10;
    ASSERT_TRUE(fx.store->save("libx264", serializeSettings("libx264", fine)).isOk());
    media::av::CodecPtr ctx;
    ASSERT_TRUE(h264->openEncoder(small, ctx).isOk());
    EXPECT_GT(ctx->extradata_size, 0) << "global headers were asked for";
    const auto large = encodeFrames(ctx.get(), 10);

    EncoderSettings coarse = fine;
    coarse.quality = 45;
    ASSERT_TRUE(fx.store->save("libx264", serializeSettings("libx264", coarse)).isOk());
    ASSERT_TRUE(h264->openEncoder(small, ctx).isOk());
    const auto smaller = encodeFrames(ctx.get(), 10);
    EXPECT_LT(smaller.bytes * 2, large.bytes);
    EXPECT_EQ(h264->settings(), coarse);
}

TEST(CompressorEncode, VideoEncodersGetAFormatTheyTakeAndRefuseBadStreams) {
    Fixture fx("encode_formats",
               {{"mjpeg", "MJPEG", CompressorCategory::Video, 7},
                {"huffyuv", "HuffYUV", CompressorCategory::Video, 1},
                {"h263", "H.263", CompressorCategory::Video, 1}},
               {{"aac", "AAC", CompressorCategory::Audio, 7}});
    media::av::CodecPtr ctx;
    ASSERT_TRUE(fx.video(0)->openEncoder(kSd, ctx).isOk());
    EXPECT_EQ(ctx->pix_fmt, AV_PIX_FMT_YUVJ420P);
    EXPECT_EQ(encodeFrames(ctx.get(), 3).packets, 3);
    ASSERT_TRUE(fx.video(1)->openEncoder(kSd, ctx).isOk());
    EXPECT_EQ(encodeFrames(ctx.get(), 2).packets, 2);

    // A size the codec cannot take is reported with the codec's name, not opened half-way.
    media::Status s = fx.video(2)->openEncoder(kSd, ctx);
    EXPECT_TRUE(s.failed());
    EXPECT_NE(s.text().find("H.263"), std::string::npos) << s.text();
    EXPECT_FALSE(ctx);

    for (VideoStreamParams bad :
         {VideoStreamParams{0, 240, {25, 1}, false}, VideoStreamParams{352, -2, {25, 1}, false},
          VideoStreamParams{352, 240, {0, 1}, false},
          VideoStreamParams{99999, 240, {25, 1}, false}})
        EXPECT_TRUE(fx.video(0)->openEncoder(bad, ctx).failed());

    CompressorRef aac;
    ASSERT_TRUE(GetAudioCompressor(0, &aac, fx.registry).isOk());
    EXPECT_TRUE(aac->openEncoder(kSd, ctx).failed()) << "an audio compressor opens no video stream";
}

TEST(CompressorEncode, AnOddFrameRateStillOpensTheMpeg4Encoder) {
    // MPEG-4 keeps time in 16 bits: a rate typed as 23.976 with a huge denominator is
    // brought into range rather than refused.
    Fixture fx("encode_rate", {{"mpeg4", "MPEG-4", CompressorCategory::Video, 7}});
    media::av::CodecPtr ctx;
    ASSERT_TRUE(fx.video(0)->openEncoder({352, 240, {23976023, 1000000}, false}, ctx).isOk());
    EXPECT_LE(ctx->time_base.den, 65535);
    EXPECT_NEAR(av_q2d(av_inv_q(ctx->time_base)), 23.976, 0.001);
}

TEST(CompressorEncode, AudioEncodersOpenForTheSoundTheyTake) {
    std::vector<CompressorDevice> audio;
    for (const char* name :
         {"adpcm_ms", "libmp3lame", "aac", "libvorbis", "libopus", "flac", "ac3", "wmav2"})
        audio.push_back({name, name, CompressorCategory::Audio, 7});
    Fixture fx("encode_audio", {}, audio);
    for (int i = 0; i < static_cast<int>(audio.size()); ++i) {
        CompressorRef c;
        ASSERT_TRUE(GetAudioCompressor(i, &c, fx.registry).isOk());
        media::av::CodecPtr ctx;
        media::Status s = c->openEncoder(AudioStreamParams{44100, 2, false}, ctx);
        ASSERT_TRUE(s.isOk()) << audio[static_cast<std::size_t>(i)].encoder << ": " << s.text();
        EXPECT_EQ(ctx->ch_layout.nb_channels, 2);
        if (audio[static_cast<std::size_t>(i)].encoder == "libopus")
            EXPECT_EQ(ctx->sample_rate, 48000);
        else
            EXPECT_EQ(ctx->sample_rate, 44100);
    }
    CompressorRef adpcm;
    GetAudioCompressor(0, &adpcm, fx.registry);
    media::av::CodecPtr ctx;
    EXPECT_TRUE(adpcm->openEncoder(AudioStreamParams{44100, 0, false}, ctx).failed());
    EXPECT_TRUE(adpcm->openEncoder(AudioStreamParams{-1, 2, false}, ctx).failed());
    // Six channels into a stereo-only codec: the codec's widest layout within reach.
    ASSERT_TRUE(adpcm->openEncoder(AudioStreamParams{48000, 6, false}, ctx).isOk());
    EXPECT_LE(ctx->ch_layout.nb_channels, 2);
}
