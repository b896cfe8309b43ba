// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/wm/profile_generator.h"

#include <gtest/gtest.h>

using namespace media::wm;

namespace {

std::unique_ptr<Profile> generate(AudioStreamParams a, std::uint32_t videoCount = 1,
                                  VideoStreamParams v = {}, media::Status* status = nullptr,
                                  const std::uint32_t* script = nullptr) {
    std::vector<VideoStreamParams> videos(videoCount, v);
    std::unique_ptr<Profile> p;
    media::Status st = GenerateProfile(&a, script, videoCount, videos.data(), &p, kVersion9);
    if (status) *status = st;
    return p;
}

WaveFormatEx audioOf(const Profile& p) {
    return *p.firstStream(guids::kMediaTypeAudio)->mediaType().waveFormat();
}

}  // namespace

TEST(GenerateProfile, JoinProfileHasTheNamedStreamsAndAudioFormatBlock) {
    auto p = generate(joinAudioParams(128000), 1, joinVideoParams(160, 120, 23.976, 500000));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name(), "Custom Profile");
    EXPECT_EQ(p->version(), kVersion9);
    ASSERT_EQ(p->streams().size(), 2u);
    const StreamConfig& a = p->streams()[0];
    EXPECT_EQ(a.streamNumber(), 1);
    EXPECT_EQ(a.streamName(), "Audio Stream");
    EXPECT_EQ(a.connectionName(), "Audio");
    const MediaType& mt = a.mediaType();
    EXPECT_EQ(mt.majorType, guids::kMediaTypeAudio);
    EXPECT_EQ(mt.subtype.toString(), "{00000161-0000-0010-8000-00AA00389B71}");
    EXPECT_TRUE(mt.fixedSizeSamples);
    EXPECT_FALSE(mt.temporalCompression);
    WaveFormatEx wf = *mt.waveFormat();
    EXPECT_EQ(mt.sampleSize, wf.blockAlign);
    EXPECT_EQ(mt.format.size(), 18 + wf.extra.size());
    EXPECT_EQ(a.bitrate(), wf.avgBytesPerSec * 8);

    const StreamConfig& v = p->streams()[1];
    EXPECT_EQ(v.streamNumber(), 2);
    EXPECT_EQ(v.streamName(), "Video Stream");
    EXPECT_EQ(v.connectionName(), "Video");
    EXPECT_EQ(v.bitrate(), 500000u);
    EXPECT_EQ(v.maxKeyFrameSpacing(), 80'000'000);
    VideoInfoHeader vih = *v.mediaType().videoInfo();
    EXPECT_EQ(vih.bmi.compression, fourcc("WMV3"));
    EXPECT_EQ(vih.bmi.width, 160);
    EXPECT_EQ(vih.bmi.height, 120);
    EXPECT_EQ(vih.source, (Rect{0, 0, 160, 120}));
    EXPECT_EQ(vih.target, (Rect{0, 0, 160, 120}));
    EXPECT_EQ(vih.bitRate, 500000u);
    EXPECT_EQ(vih.avgTimePerFrame, 434782);  // 23.976 truncates to 23
    EXPECT_EQ(vih.bmi.bitCount, 24);         // the codec's own values stay
    EXPECT_TRUE(p->mutualExclusions().empty());
}

TEST(GenerateProfile, AudioSelectionFollowsBlockAlignmentAndTolerance) {
    // 128 kbps, 44.1 kHz stereo: with video the smallest block wins, and its byte rate is
    // 16003, 24 bits per second over the request.
    auto withVideo = generate(joinAudioParams(128000));
    ASSERT_TRUE(withVideo);
    EXPECT_EQ(audioOf(*withVideo).blockAlign, 1487);
    EXPECT_EQ(withVideo->streams()[0].bitrate(), 128024u);
    auto alone = generate(joinAudioParams(128000), 0);
    ASSERT_TRUE(alone);
    EXPECT_EQ(audioOf(*alone).blockAlign, 5945);
    EXPECT_EQ(alone->streams().size(), 1u);

    // Two formats share the smallest block at 96 kbps: the later one is kept.
    auto tie = generate(joinAudioParams(96000));
    ASSERT_TRUE(tie);
    EXPECT_EQ(audioOf(*tie).avgBytesPerSec, 12001u);

    // 249 either side is a match, 250 is not, on both sides of the byte rate.
    EXPECT_TRUE(generate(joinAudioParams(128000 + 249 + 24)));
    EXPECT_TRUE(generate(joinAudioParams(128000 - 249)));
    media::Status st;
    EXPECT_FALSE(generate(joinAudioParams(128000 - 250), 1, {}, &st));
    EXPECT_FALSE(generate(joinAudioParams(128024 + 250), 1, {}, &st));

    EXPECT_FALSE(generate(joinAudioParams(100000), 1, {}, &st));
    EXPECT_EQ(st.code(), kNoMatchingAudioFormat);
    AudioStreamParams mono = joinAudioParams(64000);
    mono.channels = 1;
    auto m = generate(mono);
    ASSERT_TRUE(m);
    EXPECT_EQ(audioOf(*m).channels, 1);
    AudioStreamParams wrongRate = joinAudioParams(64000);
    wrongRate.sampleRate = 22050;
    EXPECT_FALSE(generate(wrongRate, 1, {}, &st));
    EXPECT_EQ(st.code(), kNoMatchingAudioFormat);
}

TEST(GenerateProfile, VideoSearchAndFrameRates) {
    media::Status st;
    VideoStreamParams v = joinVideoParams(320, 240, 29.97, 1000000);
    EXPECT_EQ(v.frameRate, 29u);
    auto p = generate(joinAudioParams(64000), 1, v);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->streams()[1].mediaType().videoInfo()->avgTimePerFrame, 344827);

    // Below one frame per second the profile states one frame per second.
    VideoStreamParams slow = joinVideoParams(320, 240, 0.5, 1000000);
    auto s = generate(joinAudioParams(64000), 1, slow);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->streams()[1].mediaType().videoInfo()->avgTimePerFrame, 10'000'000);
    slow.frameRate = 0;
    ASSERT_TRUE(generate(joinAudioParams(64000), 1, slow));

    // The advanced profile's first format is not a VIDEOINFOHEADER and is passed over.
    v.fourcc = fourcc("WMVA");
    EXPECT_TRUE(generate(joinAudioParams(64000), 1, v));
    v.fourcc = fourcc("WVC1");
    EXPECT_FALSE(generate(joinAudioParams(64000), 1, v, &st));
    EXPECT_EQ(st.code(), kNoMatchingVideoFormat);
}

TEST(GenerateProfile, SeveralVideoStreamsScriptAndRefusals) {
    std::uint32_t script = 1000;
    media::Status st;
    auto p =
        generate(joinAudioParams(128000), 3, joinVideoParams(320, 240, 30, 300000), &st, &script);
    ASSERT_TRUE(p) << st.text();
    ASSERT_EQ(p->streams().size(), 5u);
    ASSERT_EQ(p->mutualExclusions().size(), 1u);
    EXPECT_EQ(p->mutualExclusions()[0].type, guids::kMutexBitrate);
    EXPECT_EQ(p->mutualExclusions()[0].streams, (std::vector<std::uint16_t>{2, 3, 4}));
    const StreamConfig& sc = p->streams()[4];
    EXPECT_EQ(sc.streamNumber(), 5);
    EXPECT_EQ(sc.streamName(), "Script Stream");
    EXPECT_EQ(sc.connectionName(), "Script");
    EXPECT_EQ(sc.bitrate(), 1000u);
    EXPECT_EQ(sc.mediaType().formatType, guids::kFormatScript);
    EXPECT_EQ(sc.mediaType().format.size(), 16u);
    EXPECT_TRUE(sc.mediaType().subtype.isNull());

    // Stream numbers end at 63 and audio takes 1, so 62 video streams are the most that fit;
    // 63 is let through the first check and refused when stream 64 is numbered.
    EXPECT_TRUE(generate(joinAudioParams(128000), 62));
    EXPECT_FALSE(generate(joinAudioParams(128000), 63, {}, &st));
    EXPECT_EQ(st.code(), media::Status::kInvalidArg);
    EXPECT_FALSE(generate(joinAudioParams(128000), 64, {}, &st));
    EXPECT_EQ(st.code(), media::Status::kInvalidArg);

    AudioStreamParams a = joinAudioParams(128000);
    std::unique_ptr<Profile> out;
    EXPECT_EQ(GenerateProfile(nullptr, nullptr, 0, nullptr, &out, kVersion9).code(),
              media::Status::kInvalidArg);
    EXPECT_EQ(GenerateProfile(&a, nullptr, 0, nullptr, nullptr, kVersion9).code(),
              media::Status::kInvalidArg);
    EXPECT_EQ(GenerateProfile(&a, nullptr, 1, nullptr, &out, kVersion9).code(),
              media::Status::kInvalidArg);
    EXPECT_FALSE(out);
}

TEST(GenerateProfile, SearchAgainstOtherCodecTables) {
    AudioStreamParams a = joinAudioParams(128000);
    std::unique_ptr<Profile> out;
    CodecCatalog none;
    EXPECT_EQ(GenerateProfile(&a, nullptr, 0, nullptr, &out, kVersion9, none).code(),
              kNoMatchingAudioFormat);

    // A format that is not a WAVEFORMATEX ends the search, even after a match.
    CodecCatalog odd = standardCodecs();
    MediaType strange = odd.audio[0].formats[0];
    strange.formatType = guids::kFormatVideoInfo;
    odd.audio[0].formats.push_back(strange);
    EXPECT_EQ(GenerateProfile(&a, nullptr, 0, nullptr, &out, kVersion9, odd).code(),
              media::Status::kFail);
    EXPECT_FALSE(out);
}

TEST(MapProfile, RoundTripsAGeneratedProfileAndRefusesOtherText) {
    std::uint32_t script = 500;
    auto p = generate(joinAudioParams(192000), 2, joinVideoParams(640, 480, 25, 900000), nullptr,
                      &script);
    ASSERT_TRUE(p);
    ProfileManager manager;
    std::string text;
    ASSERT_TRUE(manager.saveProfile(*p, text));

    std::unique_ptr<Profile> back;
    ASSERT_TRUE(MapProfile(text, &back));
    ASSERT_EQ(back->streams().size(), p->streams().size());
    EXPECT_EQ(back->name(), p->name());
    for (std::size_t i = 0; i < p->streams().size(); ++i) {
        EXPECT_EQ(back->streams()[i].mediaType(), p->streams()[i].mediaType());
        EXPECT_EQ(back->streams()[i].bitrate(), p->streams()[i].bitrate());
        EXPECT_EQ(back->streams()[i].maxKeyFrameSpacing(), p->streams()[i].maxKeyFrameSpacing());
        EXPECT_EQ(back->streams()[i].streamName(), p->streams()[i].streamName());
    }
    EXPECT_EQ(back->mutualExclusions()[0].streams, p->mutualExclusions()[0].streams);

    std::unique_ptr<Profile> none;
    EXPECT_EQ(MapProfile("test2", &none).code(), kInvalidProfileData);
    EXPECT_EQ(MapProfile("test2", nullptr).code(), kPointer);
    // Damaged text: a cut-off block, a bad number, a stream number out of range.
    EXPECT_FALSE(MapProfile(text.substr(0, text.size() - 4), &none));
    std::string badNumber = text;
    badNumber.replace(badNumber.find("bitrate=") + 8, 1, "x");
    EXPECT_FALSE(MapProfile(badNumber, &none));
    std::string badStream = text;
    badStream.replace(badStream.find("number=1"), 8, "number=99");
    EXPECT_FALSE(MapProfile(badStream, &none));
    EXPECT_FALSE(none);
}

TEST(MediaTypes, FormatBlocksKeepTheirByteLayout) {
    const MediaType& f = standardCodecs().audio[0].formats[0];
    ASSERT_EQ(f.format.size(), 28u);  // 18 bytes and 10 extra
    EXPECT_EQ(f.format[0], 0x61);
    EXPECT_EQ(f.format[1], 0x01);
    EXPECT_EQ(f.format[16], 10);
    VideoInfoHeader v;
    v.bmi.width = 160;
    v.bmi.height = -120;
    v.avgTimePerFrame = 0x123456789;
    v.extra = {1, 2, 3};
    auto bytes = v.toBytes();
    EXPECT_EQ(bytes.size(), VideoInfoHeader::kSize + 3);
    auto back = VideoInfoHeader::fromBytes(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bmi.height, -120);
    EXPECT_EQ(back->avgTimePerFrame, 0x123456789);
    EXPECT_EQ(back->extra, v.extra);
    bytes.resize(50);
    EXPECT_FALSE(VideoInfoHeader::fromBytes(bytes));
    EXPECT_EQ(guids::kMediaTypeVideo.bytes()[0], 0x76);  // 'v', little-endian first field
}
