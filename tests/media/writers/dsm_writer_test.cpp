// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>

#include "dsm_reader.h"
#include "media/core/ffmpeg_ptr.h"
#include "media/writers/media_writer.h"
#include "support/media/test_media.h"
#include "support/media/written_file.h"

using namespace writertest;
using media::wm::guids::kMediaTypeAudio;
using media::wm::guids::kMediaTypeVideo;

namespace {

dsmtest::File writeDsm(const std::string& path, media::WriterSettings s, const Feed& feed) {
    std::unique_ptr<media::MediaWriter> w;
    media::Status st = media::openMediaWriter(std::move(s), w);
    EXPECT_TRUE(st) << st.text();
    dsmtest::File f;
    if (!st) return f;
    st = writeFeed(*w, feed);
    EXPECT_TRUE(st) << st.text();
    std::string error;
    EXPECT_TRUE(dsmtest::readDsm(path, f, error)) << error;
    return f;
}

// The framing every DSM file must keep, whatever it carries.
void expectWellFormed(const dsmtest::File& f, int streams) {
    ASSERT_FALSE(f.packetOrder.empty());
    EXPECT_EQ(f.packetOrder.front(), 0);
    EXPECT_EQ(f.version, 1);
    EXPECT_EQ(f.info.at("MUXR"), "Clipfuse");
    EXPECT_EQ(f.info.count("DATE"), 1u);
    for (int i = 1; i <= streams; ++i) EXPECT_EQ(f.packetOrder[static_cast<std::size_t>(i)], 2);
    EXPECT_EQ(f.packetOrder.back(), 5);
    EXPECT_EQ(static_cast<int>(f.types.size()), streams);

    std::map<int, std::int64_t> lastTime, lastSync;
    std::int64_t lastAny = -10'000'000;  // codecs may start a little before zero
    std::set<std::int64_t> positions;
    for (const dsmtest::Sample& s : f.samples) {
        ASSERT_TRUE(f.types.count(s.stream)) << "sample of an undeclared stream " << s.stream;
        EXPECT_FALSE(s.timeUnknown);
        if (lastTime.count(s.stream)) {
            EXPECT_GT(s.time, lastTime[s.stream]);
        }
        if (s.sync && lastSync.count(s.stream)) {
            EXPECT_GT(s.time, lastSync[s.stream]);
        }
        // Interleaved in time order, within one audio block of the pictures.
        EXPECT_GE(s.time, lastAny - 1'000'000);
        lastAny = std::max(lastAny, s.time);
        lastTime[s.stream] = s.time;
        if (s.sync) lastSync[s.stream] = s.time;
        positions.insert(s.position);
    }
    // Every sync point names a sample packet from which each stream reaches a sync sample
    // no later than the point's time.
    ASSERT_FALSE(f.syncPoints.empty());
    for (std::size_t i = 0; i < f.syncPoints.size(); ++i) {
        const dsmtest::SyncPoint& p = f.syncPoints[i];
        EXPECT_TRUE(positions.count(p.position)) << "sync point " << i << " is not at a sample";
        if (i) {
            EXPECT_GT(p.time, f.syncPoints[i - 1].time);
        }
        for (const auto& [stream, type] : f.types) {
            bool reached = false;
            for (const dsmtest::Sample& s : f.samples)
                reached |=
                    s.stream == stream && s.sync && s.position >= p.position && s.time <= p.time;
            EXPECT_TRUE(reached) << "sync point " << i << " misses stream " << stream;
        }
    }
}

double toneOfS16(const std::vector<dsmtest::Sample>& samples, int stream, long& count) {
    long crossings = 0;
    bool negative = false;
    count = 0;
    for (const dsmtest::Sample& s : samples) {
        if (s.stream != stream) continue;
        for (std::size_t i = 0; i + 3 < s.data.size(); i += 4) {
            auto v = static_cast<std::int16_t>(s.data[i] | s.data[i + 1] << 8);
            if ((v < 0) != negative) ++crossings, negative = v < 0;
            ++count;
        }
    }
    return count ? crossings / 2.0 / (count / 44100.0) : 0;
}

}  // namespace

TEST(DsmWriter, UncompressedFileCarriesRgbDibsAndPcmWithTheirMediaTypes) {
    std::string dir = testmedia::scratchDir("writer_dsm_raw");
    std::string path = dir + "/out.dsm";
    Feed feed;
    feed.bottom = {0, 0, 255};
    dsmtest::File f = writeDsm(path, settingsFor(path, 5, feed), feed);
    expectWellFormed(f, 2);

    const media::wm::MediaType& v = f.types.at(0);
    EXPECT_EQ(v.majorType, kMediaTypeVideo);
    EXPECT_EQ(v.subtype, media::wm::guids::kSubtypeRgb24);
    EXPECT_EQ(v.formatType, media::wm::guids::kFormatVideoInfo);
    EXPECT_TRUE(v.fixedSizeSamples);
    EXPECT_FALSE(v.temporalCompression);
    EXPECT_EQ(v.sampleSize, 160u * 120 * 3);
    auto vih = v.videoInfo();
    ASSERT_TRUE(vih);
    EXPECT_EQ(vih->bmi.width, 160);
    EXPECT_EQ(vih->bmi.height, 120);
    EXPECT_EQ(vih->bmi.bitCount, 24);
    EXPECT_EQ(vih->bmi.compression, 0u);
    EXPECT_EQ(vih->avgTimePerFrame, 400000);

    const media::wm::MediaType& a = f.types.at(1);
    EXPECT_EQ(a.majorType, kMediaTypeAudio);
    EXPECT_EQ(a.subtype.toString(), "{00000001-0000-0010-8000-00AA00389B71}");
    auto wf = a.waveFormat();
    ASSERT_TRUE(wf);
    EXPECT_EQ(wf->formatTag, 1);
    EXPECT_EQ(wf->channels, 2);
    EXPECT_EQ(wf->samplesPerSec, 44100u);
    EXPECT_EQ(wf->blockAlign, 4);
    EXPECT_EQ(wf->avgBytesPerSec, 176400u);

    int pictures = 0;
    for (const dsmtest::Sample& s : f.samples) {
        if (s.stream != 0) continue;
        ++pictures;
        EXPECT_TRUE(s.sync);
        EXPECT_EQ(s.duration, 400000);
        ASSERT_EQ(s.data.size(), 160u * 120 * 3);
        // A DIB stores its bottom row first: blue there, red at the end; bytes are B, G, R.
        const std::uint8_t* bottom = s.data.data() + (30 * 160 + 80) * 3;
        const std::uint8_t* top = s.data.data() + (90 * 160 + 80) * 3;
        EXPECT_TRUE(nearColour({bottom[2], bottom[1], bottom[0]}, {0, 0, 255}, 24));
        EXPECT_TRUE(nearColour({top[2], top[1], top[0]}, {255, 0, 0}, 24));
    }
    EXPECT_EQ(pictures, 25);
    long count = 0;
    EXPECT_NEAR(toneOfS16(f.samples, 1, count), 440.0, 10.0);
    EXPECT_NEAR(count, 44100, 1024);
}

TEST(DsmWriter, CompressedStreamsDecodeAndMarkTheirKeyFrames) {
    std::string dir = testmedia::scratchDir("writer_dsm_mpeg4");
    std::string path = dir + "/out.dsm";
    media::WriterSettings s = settingsFor(path, 5);
    s.videoEncoder.codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    s.videoEncoder.configure = [](AVCodecContext& c) {
        c.gop_size = 10;
        c.max_b_frames = 0;
        c.bit_rate = 400000;
        return media::Status::ok();
    };
    s.audioEncoder.codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
    ASSERT_TRUE(s.audioEncoder.codec);
    dsmtest::File f = writeDsm(path, std::move(s), Feed{});
    expectWellFormed(f, 2);

    const media::wm::MediaType& v = f.types.at(0);
    EXPECT_TRUE(v.temporalCompression);
    auto vih = v.videoInfo();
    ASSERT_TRUE(vih);
    EXPECT_EQ(v.subtype, media::wm::subtypeFromCode(vih->bmi.compression));
    EXPECT_NE(vih->bmi.compression, 0u);
    auto wf = f.types.at(1).waveFormat();
    ASSERT_TRUE(wf);
    EXPECT_EQ(wf->formatTag, 0x55);
    EXPECT_EQ(wf->extra.size(), 12u);

    // Decode every sample with the decoders the media types name.
    auto decoderFor = [](AVCodecID id, const std::vector<std::uint8_t>& extra) {
        media::av::CodecPtr c(avcodec_alloc_context3(avcodec_find_decoder(id)));
        if (!extra.empty()) {
            c->extradata =
                static_cast<std::uint8_t*>(av_mallocz(extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            std::copy(extra.begin(), extra.end(), c->extradata);
            c->extradata_size = static_cast<int>(extra.size());
        }
        EXPECT_GE(avcodec_open2(c.get(), c->codec, nullptr), 0);
        return c;
    };
    auto vdec = decoderFor(AV_CODEC_ID_MPEG4, vih->extra);
    auto adec = decoderFor(AV_CODEC_ID_MP3, {});
    auto packet = media::av::makePacket();
    auto frame = media::av::makeFrame();
    int pictures = 0, keys = 0, keyPictures = 0;
    long sound = 0;
    std::array<int, 3> colour{};
    for (const dsmtest::Sample& sample : f.samples) {
        av_new_packet(packet.get(), static_cast<int>(sample.data.size()));
        std::copy(sample.data.begin(), sample.data.end(), packet->data);
        AVCodecContext* dec = sample.stream == 0 ? vdec.get() : adec.get();
        if (sample.stream == 0 && sample.sync) ++keys;
        ASSERT_GE(avcodec_send_packet(dec, packet.get()), 0);
        av_packet_unref(packet.get());
        while (avcodec_receive_frame(dec, frame.get()) >= 0) {
            if (sample.stream == 0) {
                if (frame->key_frame) ++keyPictures;
                if (pictures++ == 0) {
                    auto rgb = media::yuvToRgb(frame->data[0][60 * frame->linesize[0] + 80],
                                               frame->data[1][30 * frame->linesize[1] + 40],
                                               frame->data[2][30 * frame->linesize[2] + 40]);
                    colour = {rgb[0], rgb[1], rgb[2]};
                }
            } else {
                sound += frame->nb_samples;
            }
            av_frame_unref(frame.get());
        }
    }
    EXPECT_EQ(pictures, 25);
    EXPECT_EQ(keys, 3);  // frames 0, 10 and 20
    EXPECT_EQ(keyPictures, keys);
    EXPECT_TRUE(nearColour(colour, {255, 0, 0}, 24))
        << colour[0] << "," << colour[1] << "," << colour[2];
    EXPECT_NEAR(sound, 44100, 2304);
}
