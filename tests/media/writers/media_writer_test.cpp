// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/media_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/wm/profile_generator.h"
#include "support/media/test_media.h"
#include "support/media/written_file.h"

using namespace writertest;
namespace fs = std::filesystem;

namespace {

std::unique_ptr<media::MediaWriter> openOrFail(media::WriterSettings s,
                                               media::Status* status = nullptr) {
    std::unique_ptr<media::MediaWriter> w;
    media::Status st = media::openMediaWriter(std::move(s), w);
    if (status) *status = st;
    return st ? std::move(w) : nullptr;
}

ReadBack writeAndRead(const std::string& path, media::WriterSettings s, const Feed& feed = {}) {
    ReadBack rb;
    media::Status st;
    auto w = openOrFail(std::move(s), &st);
    EXPECT_TRUE(w) << st.text();
    if (!w) return rb;
    st = writeFeed(*w, feed);
    EXPECT_TRUE(st) << st.text();
    std::string error;
    EXPECT_TRUE(readBack(path, rb, &error)) << error;
    return rb;
}

void expectOneSecondOfRedAndTone(const ReadBack& rb) {
    EXPECT_EQ(rb.width, 160);
    EXPECT_EQ(rb.height, 120);
    EXPECT_NEAR(rb.frameRate, 25.0, 0.01);
    // Within a frame; an audio codec's start-up delay may add its own frame to the container.
    EXPECT_NEAR(rb.durationSeconds, 1.0, 0.1);
    if (rb.videoSeconds > 0) {
        EXPECT_NEAR(rb.videoSeconds, 1.0, 0.05);
    }
    EXPECT_GE(rb.framesDecoded, 24);
    EXPECT_TRUE(nearColour(rb.topColour, {255, 0, 0}, 24))
        << rb.topColour[0] << "," << rb.topColour[1] << "," << rb.topColour[2];
    EXPECT_GT(rb.audioSamples, 44100 * 9 / 10);
    EXPECT_NEAR(rb.toneHz, 440.0, 15.0);
}

media::EncoderChoice encoderNamed(const char* name,
                                  std::function<media::Status(AVCodecContext&)> configure = {}) {
    media::EncoderChoice c;
    c.codec = avcodec_find_encoder_by_name(name);
    c.configure = std::move(configure);
    return c;
}

}  // namespace

TEST(MediaWriter, UncompressedAviIsRgbTheRightWayUpWithPcm) {
    std::string dir = testmedia::scratchDir("writer_avi");
    std::string path = dir + "/out.avi";
    Feed feed;
    feed.bottom = {0, 0, 255};
    ReadBack rb = writeAndRead(path, settingsFor(path, 0, feed), feed);
    EXPECT_EQ(rb.container, "avi");
    EXPECT_EQ(rb.videoCodec, "rawvideo");
    EXPECT_EQ(rb.audioCodec, "pcm_s16le");
    expectOneSecondOfRedAndTone(rb);
    EXPECT_TRUE(nearColour(rb.bottomColour, {0, 0, 255}, 24));
    EXPECT_EQ(partialFilesIn(dir), 0);
}

TEST(MediaWriter, MatroskaKeepsUncompressedPictures) {
    std::string dir = testmedia::scratchDir("writer_mkv");
    std::string path = dir + "/out.mkv";
    Feed feed;
    feed.bottom = {0, 255, 0};
    ReadBack rb = writeAndRead(path, settingsFor(path, 2, feed), feed);
    EXPECT_EQ(rb.container, "matroska,webm");
    EXPECT_EQ(rb.videoCodec, "rawvideo");
    EXPECT_EQ(rb.audioCodec, "pcm_s16le");
    expectOneSecondOfRedAndTone(rb);
    EXPECT_TRUE(nearColour(rb.bottomColour, {0, 255, 0}, 24));
}

TEST(MediaWriter, OggHoldsTheoraAndVorbis) {
    std::string dir = testmedia::scratchDir("writer_ogg");
    std::string path = dir + "/out.ogm";
    ReadBack rb = writeAndRead(path, settingsFor(path, 6));
    EXPECT_EQ(rb.container, "ogg");
    EXPECT_EQ(rb.videoCodec, "theora");
    EXPECT_EQ(rb.audioCodec, "vorbis");
    expectOneSecondOfRedAndTone(rb);
}

TEST(MediaWriter, Mp4RefusesUncompressedAndTakesCompressors) {
    std::string dir = testmedia::scratchDir("writer_mp4");
    std::string path = dir + "/out.mp4";
    media::Status st;
    EXPECT_FALSE(openOrFail(settingsFor(path, 4), &st));
    EXPECT_NE(st.text().find("Full frames (uncompressed)"), std::string::npos) << st.text();
    EXPECT_NE(st.text().find("MP4"), std::string::npos) << st.text();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(partialFilesIn(dir), 0);

    // Compressors chosen by the user: one as a codec to configure, one as a ready context.
    media::WriterSettings s = settingsFor(path, 4);
    s.videoEncoder = encoderNamed("mpeg4", [](AVCodecContext& c) {
        c.bit_rate = 400000;
        return media::Status::ok();
    });
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    s.audioEncoder.context.reset(avcodec_alloc_context3(aac));
    s.audioEncoder.context->bit_rate = 96000;
    ReadBack rb = writeAndRead(path, std::move(s));
    EXPECT_EQ(rb.container, "mov,mp4,m4a,3gp,3g2,mj2");
    EXPECT_EQ(rb.videoCodec, "mpeg4");
    EXPECT_EQ(rb.audioCodec, "aac");
    expectOneSecondOfRedAndTone(rb);
}

TEST(MediaWriter, WindowsMediaFollowsTheGeneratedProfile) {
    std::string dir = testmedia::scratchDir("writer_wm");
    for (int code : {1, 3}) {
        std::string path = dir + (code == 1 ? "/out.wmv" : "/out.asf");
        media::wm::AudioStreamParams a = media::wm::joinAudioParams(128000);
        media::wm::VideoStreamParams v = media::wm::joinVideoParams(160, 120, 25.0, 600000);
        std::unique_ptr<media::wm::Profile> profile;
        ASSERT_TRUE(media::wm::GenerateProfile(&a, nullptr, 1, &v, &profile, media::wm::kVersion9));
        media::WriterSettings s = settingsFor(path, code);
        s.profile = profile.get();
        ReadBack rb = writeAndRead(path, std::move(s));
        EXPECT_EQ(rb.container, "asf");
        EXPECT_EQ(rb.videoCodec, "wmv2");
        EXPECT_EQ(rb.videoTag, "WMV2");  // what was really encoded, so players decode it
        EXPECT_EQ(rb.audioCodec, "wmav2");
        EXPECT_EQ(rb.audioBitrate, 128024);  // the chosen format's byte rate, not the request
        expectOneSecondOfRedAndTone(rb);
    }
    // The profile's size wins over the pictures' own.
    std::string path = dir + "/scaled.wmv";
    media::wm::AudioStreamParams a = media::wm::joinAudioParams(64000);
    media::wm::VideoStreamParams v = media::wm::joinVideoParams(320, 240, 25.0, 600000);
    std::unique_ptr<media::wm::Profile> profile;
    ASSERT_TRUE(media::wm::GenerateProfile(&a, nullptr, 1, &v, &profile, media::wm::kVersion9));
    media::WriterSettings s = settingsFor(path, 1);
    s.profile = profile.get();
    ReadBack rb = writeAndRead(path, std::move(s));
    EXPECT_EQ(rb.width, 320);
    EXPECT_EQ(rb.height, 240);

    media::Status st;
    EXPECT_FALSE(openOrFail(settingsFor(dir + "/none.wmv", 1), &st));
    EXPECT_NE(st.text().find("profile"), std::string::npos);
}

TEST(MediaWriter, RefusalsComeBeforeAnythingIsWritten) {
    std::string dir = testmedia::scratchDir("writer_refusals");
    media::Status st;
    EXPECT_FALSE(openOrFail(settingsFor(dir + "/out.xyz", 7), &st));
    EXPECT_NE(st.text().find("Does not support the video format"), std::string::npos);
    EXPECT_FALSE(openOrFail(settingsFor(dir + "/out.xyz", -1), &st));

    // A codec the container cannot carry is named together with the container.
    media::WriterSettings s = settingsFor(dir + "/out.mp4", 4);
    s.videoEncoder = encoderNamed("mpeg4");
    s.audioEncoder = encoderNamed("wmav2");
    EXPECT_FALSE(openOrFail(std::move(s), &st));
    EXPECT_NE(st.text().find("Windows Media Audio 2"), std::string::npos) << st.text();
    EXPECT_NE(st.text().find("MP4"), std::string::npos) << st.text();
    media::WriterSettings ogg = settingsFor(dir + "/out.ogm", 6);
    ogg.videoEncoder = encoderNamed("mpeg4");
    EXPECT_FALSE(openOrFail(std::move(ogg), &st));
    EXPECT_NE(st.text().find("Ogg"), std::string::npos) << st.text();

    // A codec that knows only the broadcast rates names the rate it was asked for.
    Feed halfRate;
    halfRate.rate = {25, 2};
    media::WriterSettings mpeg1 = settingsFor(dir + "/out.avi", 0, halfRate);
    mpeg1.videoEncoder = encoderNamed("mpeg1video");
    EXPECT_FALSE(openOrFail(std::move(mpeg1), &st));
    EXPECT_NE(st.text().find("MPEG-1"), std::string::npos) << st.text();
    EXPECT_NE(st.text().find("12.5 frames per second"), std::string::npos) << st.text();

    Feed zero;
    zero.width = 0;
    EXPECT_FALSE(openOrFail(settingsFor(dir + "/out.avi", 0, zero), &st));
    EXPECT_FALSE(openOrFail(settingsFor("", 0), &st));
    EXPECT_FALSE(openOrFail(settingsFor(dir, 0), &st));  // a folder, not a file
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST(MediaWriter, AnUnwritableFolderGivesAClearMessageAndNoFile) {
    std::string dir = testmedia::scratchDir("writer_folder");
    media::Status st;
    EXPECT_FALSE(openOrFail(settingsFor(dir + "/missing/out.avi", 0), &st));
    EXPECT_NE(st.text().find("cannot write in the folder"), std::string::npos) << st.text();
    std::ofstream(dir + "/plain-file") << "x";
    EXPECT_FALSE(openOrFail(settingsFor(dir + "/plain-file/out.avi", 0), &st));
    EXPECT_NE(st.text().find("cannot write in the folder"), std::string::npos) << st.text();
    EXPECT_EQ(partialFilesIn(dir), 0);
}

TEST(MediaWriter, FinishEarlyGivesAShorterPlayableFile) {
    std::string dir = testmedia::scratchDir("writer_early");
    std::string path = dir + "/half.avi";
    Feed feed;
    feed.frames = 12;
    ReadBack rb = writeAndRead(path, settingsFor(path, 0), feed);
    EXPECT_EQ(rb.framesDecoded, 12);
    EXPECT_NEAR(rb.durationSeconds, 12 / 25.0, 0.05);
    EXPECT_NEAR(rb.audioSamples, 12 * 1764, 1024);
}

TEST(MediaWriter, AbortLeavesTheTargetAsItWas) {
    std::string dir = testmedia::scratchDir("writer_abort");
    std::string path = dir + "/keep.avi";
    std::ofstream(path) << "earlier result";
    media::Status st;
    auto w = openOrFail(settingsFor(path, 0), &st);
    ASSERT_TRUE(w) << st.text();
    EXPECT_TRUE(fs::exists(w->info().tempPath));
    EXPECT_EQ(fs::path(w->info().tempPath).parent_path(), fs::path(dir));
    Feed feed;
    feed.frames = 5;
    ASSERT_TRUE(writeFeed(*w, feed, false));
    w->abort();
    EXPECT_EQ(partialFilesIn(dir), 0);
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "earlier result");
    EXPECT_FALSE(w->writeVideo(media::Frame(160, 120)));
    EXPECT_FALSE(w->finish());

    // Dropping a writer without finishing is an abort too.
    auto dropped = openOrFail(settingsFor(dir + "/dropped.avi", 0));
    ASSERT_TRUE(dropped);
    dropped.reset();
    EXPECT_EQ(partialFilesIn(dir), 0);
    EXPECT_FALSE(fs::exists(dir + "/dropped.avi"));
}

TEST(MediaWriter, VideoOnlyAndOddSizesAreWritten) {
    std::string dir = testmedia::scratchDir("writer_video_only");
    std::string path = dir + "/odd.mkv";
    Feed feed;
    feed.audio = false;
    feed.width = 161;
    feed.height = 119;
    feed.frames = 5;
    ReadBack rb = writeAndRead(path, settingsFor(path, 2, feed), feed);
    EXPECT_EQ(rb.width, 161);
    EXPECT_EQ(rb.height, 119);
    EXPECT_EQ(rb.framesDecoded, 5);
    EXPECT_TRUE(rb.audioCodec.empty());
}

TEST(MediaWriter, CompressorsThatAreOpenOrThatFailToConfigure) {
    std::string dir = testmedia::scratchDir("writer_compressors");
    // An encoder the compressor opened itself, at its own size: pictures are scaled to it.
    media::EncoderChoice opened;
    opened.context.reset(avcodec_alloc_context3(avcodec_find_encoder(AV_CODEC_ID_MPEG4)));
    AVCodecContext& c = *opened.context;
    c.width = 320;
    c.height = 240;
    c.time_base = {1, 25};
    c.framerate = {25, 1};
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    ASSERT_GE(avcodec_open2(&c, c.codec, nullptr), 0);
    std::string path = dir + "/opened.avi";
    media::WriterSettings s = settingsFor(path, 0);
    s.videoEncoder = std::move(opened);
    ReadBack rb = writeAndRead(path, std::move(s));
    EXPECT_EQ(rb.videoCodec, "mpeg4");
    EXPECT_EQ(rb.width, 320);
    EXPECT_EQ(rb.height, 240);
    EXPECT_TRUE(nearColour(rb.topColour, {255, 0, 0}, 24));

    // A compressor whose settings cannot be applied stops the join before any file exists.
    media::WriterSettings bad = settingsFor(dir + "/bad.avi", 0);
    bad.videoEncoder = encoderNamed("mpeg4", [](AVCodecContext&) {
        return media::Status::fail("The compressor's settings are damaged.");
    });
    media::Status st;
    EXPECT_FALSE(openOrFail(std::move(bad), &st));
    EXPECT_EQ(st.text(), "The compressor's settings are damaged.");
    EXPECT_FALSE(fs::exists(dir + "/bad.avi"));
    EXPECT_EQ(partialFilesIn(dir), 0);
}

TEST(MediaWriter, SoundHandedOverLongAfterThePicturesIsStillInterleavedInTheFile) {
    // The sound's encoder may run half a minute behind the pictures'; a player reading the
    // file front to back must still find both streams side by side.
    const std::string path = testmedia::scratchDir("writer_interleave") + "/late_sound.mkv";
    media::WriterSettings s = settingsFor(path, 2);
    s.videoEncoder = encoderNamed("mpeg4");
    auto w = openOrFail(std::move(s));
    ASSERT_TRUE(w);
    constexpr int kSeconds = 20;
    media::Frame frame(160, 120);
    frame.fillRgb(0, 0, 255);
    for (int i = 0; i < kSeconds * 25; ++i) {
        frame.pts = i;
        ASSERT_TRUE(w->writeVideo(frame));
    }
    std::vector<float> left(44100, 0.1f), right(44100, 0.1f);
    const float* planes[] = {left.data(), right.data()};
    for (int i = 0; i < kSeconds; ++i) ASSERT_TRUE(w->writeAudio(planes, 44100));
    ASSERT_TRUE(w->finish());

    AVFormatContext* raw = nullptr;
    ASSERT_EQ(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), 0);
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> in(
        raw, [](AVFormatContext* c) { avformat_close_input(&c); });
    AVPacket* packet = av_packet_alloc();
    double last[2] = {-1, -1}, widest = 0;
    while (av_read_frame(in.get(), packet) >= 0) {
        const AVStream* st = in->streams[packet->stream_index];
        if (packet->stream_index < 2 && packet->dts != AV_NOPTS_VALUE) {
            last[packet->stream_index] = packet->dts * av_q2d(st->time_base);
            if (last[0] >= 0 && last[1] >= 0) widest = std::max(widest, std::abs(last[0] - last[1]));
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    EXPECT_GE(last[0], kSeconds - 1.0);
    EXPECT_GE(last[1], kSeconds - 1.0);
    EXPECT_LT(widest, 1.0) << "streams lie up to " << widest << " s apart in the file";
}

TEST(MediaWriter, LongAacSoundIsWholeAndSmoothAcrossTheEncodersSeams) {
    // AAC is made ten seconds at a time by encoders side by side: the joined sound must be
    // as long as what was given and carry no click where one encoder's part meets the next.
    const std::string path = testmedia::scratchDir("writer_aac_seams") + "/tone.mp4";
    media::WriterSettings s = settingsFor(path, 4);
    s.video.reset();
    s.audioEncoder = encoderNamed("aac");
    auto w = openOrFail(std::move(s));
    ASSERT_TRUE(w);
    constexpr int kRate = 44100, kSeconds = 25;
    const double step = 2 * M_PI * 440.0 / kRate;
    std::vector<float> left(kRate / 10), right(kRate / 10);
    for (long n = 0; n < long(kRate) * kSeconds; n += kRate / 10) {
        for (int i = 0; i < kRate / 10; ++i) left[i] = right[i] = 0.5f * std::sin(step * double(n + i));
        const float* planes[] = {left.data(), right.data()};
        ASSERT_TRUE(w->writeAudio(planes, kRate / 10));
    }
    ASSERT_TRUE(w->finish());

    ReadBack rb;
    rb.keepSound = true;
    std::string error;
    ASSERT_TRUE(readBack(path, rb, &error)) << error;
    EXPECT_NEAR(double(rb.sound.size()), double(kRate) * kSeconds, 1024);
    // A clean sine satisfies x[n-1] + x[n+1] = 2 cos(step) x[n]; coding noise leaves a small
    // residue everywhere, a seam would leave a spike near 10 s or 20 s.
    auto worstResidue = [&](double fromSeconds, double toSeconds) {
        double worst = 0;
        const auto from = static_cast<std::size_t>(fromSeconds * kRate);
        const auto to = std::min(rb.sound.size() - 1, static_cast<std::size_t>(toSeconds * kRate));
        for (std::size_t n = std::max<std::size_t>(from, 1); n < to; ++n)
            worst = std::max(worst, std::abs(rb.sound[n - 1] + rb.sound[n + 1] -
                                             2 * std::cos(step) * rb.sound[n]));
        return worst;
    };
    const double calm = std::max(worstResidue(4, 6), worstResidue(14, 16));
    for (double seam : {10.0, 20.0})
        EXPECT_LT(worstResidue(seam - 0.2, seam + 0.2), 2 * calm + 1e-3) << "at " << seam << " s";
}
