// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/compressor_registry.h"

#include <gtest/gtest.h>

#include <set>

#include "media/codecs/compressor_catalogue.h"
#include "media/codecs/stored_compressors.h"

using namespace media::codecs;
using Cat = CompressorCategory;

namespace {

CompressorDevice video(std::string encoder, std::string name) {
    return {std::move(encoder), std::move(name), Cat::Video, kContainerAvi};
}
CompressorDevice audio(std::string encoder, std::string name) {
    return {std::move(encoder), std::move(name), Cat::Audio, kContainerAvi};
}

CompressorRegistry registryOf(std::vector<CompressorDevice> v,
                              std::vector<CompressorDevice> a = {}) {
    return CompressorRegistry(std::move(v), std::move(a), nullptr);
}

}  // namespace

TEST(CompressorLists, NoCompressorInstalled) {
    const auto none = registryOf({});
    EXPECT_EQ(compressorListRows(Cat::Video, none),
              std::vector<std::string>{"Full frames (uncompressed)"});
    EXPECT_EQ(compressorListRows(Cat::Audio, none), std::vector<std::string>{"Uncompressed Audio"});
    EXPECT_FALSE(FindPreferredVideoCompressor(none));
    EXPECT_EQ(initialCompressorRow(Cat::Video, kNeverChosen, none), 0);

    auto r = ResolveStoredCompressors({}, none);
    EXPECT_EQ(r.useVideoCompressor, 0);
    EXPECT_EQ(r.useAudioCompressor, 0);
    EXPECT_FALSE(r.pVideoCompressor);
    EXPECT_TRUE(r.messages.empty());
}

TEST(CompressorLists, DivxNamedSecondDeviceIsPreselectedAndBound) {
    const auto reg = registryOf(
        {video("mjpeg", "Motion JPEG"), video("mpeg4", "My dIvX 6.8 Codec")},
        {audio("flac", "FLAC"), audio("aac", "AAC"), audio("adpcm_ms", "MICROSOFT ADPCM")});
    EXPECT_EQ(FindPreferredVideoCompressor(reg), 1);
    EXPECT_EQ(FindPreferredAudioCompressor(reg), 2);
    EXPECT_EQ(initialCompressorRow(Cat::Video, kNeverChosen, reg), 2);
    EXPECT_EQ(initialCompressorRow(Cat::Audio, kNeverChosen, reg), 3);
    EXPECT_EQ(preferredCompressorRow(Cat::Video, reg), 2);

    StoredCompressorNumbers stored;  // nothing stored
    auto r = ResolveStoredCompressors(stored, reg);
    ASSERT_TRUE(r.pVideoCompressor);
    EXPECT_EQ(r.pVideoCompressor->device().encoder, "mpeg4");
    EXPECT_EQ(r.useVideoCompressor, 1);
    ASSERT_TRUE(r.pAudioCompressor);
    EXPECT_EQ(r.pAudioCompressor->device().encoder, "adpcm_ms");
    EXPECT_EQ(stored.video, kNeverChosen);
}

TEST(CompressorLists, StoredChoices) {
    const auto reg = registryOf({video("mpeg4", "A"), video("mjpeg", "B"), video("ffv1", "C")});
    // A device index that no longer exists: no selection in the list; at start-up the flag
    // stays set with nothing bound, so the renderer reports the missing compressor.
    EXPECT_EQ(initialCompressorRow(Cat::Video, 5, reg), -1);
    auto r = ResolveStoredCompressors({5, kNoCompressor}, reg);
    EXPECT_EQ(r.useVideoCompressor, 1);
    EXPECT_FALSE(r.pVideoCompressor);
    EXPECT_TRUE(r.messages.empty());

    // -1 means none: the synthetic row, nothing bound.
    EXPECT_EQ(initialCompressorRow(Cat::Video, kNoCompressor, reg), 0);
    EXPECT_EQ(r.useAudioCompressor, 0);
    EXPECT_FALSE(r.pAudioCompressor);

    r = ResolveStoredCompressors({2, kNoCompressor}, reg);
    ASSERT_TRUE(r.pVideoCompressor);
    EXPECT_EQ(r.pVideoCompressor->device().encoder, "ffv1");
    EXPECT_EQ(initialCompressorRow(Cat::Video, 2, reg), 3);

    // A damaged number below -2 names nothing: no selection, and no compressor in use.
    EXPECT_EQ(initialCompressorRow(Cat::Video, -7, reg), -1);
    EXPECT_EQ(ResolveStoredCompressors({-7, -7}, reg).useVideoCompressor, 0);
    EXPECT_EQ(initialCompressorRow(Cat::Video, INT32_MAX, reg), -1);

    // What OK stores goes back to the same row on the next opening.
    for (int row : {0, 1, 3})
        EXPECT_EQ(initialCompressorRow(Cat::Video, storedNumberForRow(row), reg), row);
    EXPECT_EQ(storedNumberForRow(-1), kNeverChosen);
}

TEST(CompressorLookup, OutputPlaceIndexAndBinding) {
    const auto reg =
        registryOf({video("mpeg4", "A"), video("no-such-encoder", "Gone")}, {audio("aac", "AAC")});
    media::Status s = GetCompressor(0, nullptr, reg);
    EXPECT_TRUE(s.failed());
    EXPECT_EQ(s.text(), "GetCompressor received invalid pointer");
    EXPECT_EQ(GetAudioCompressor(0, nullptr, reg).text(),
              "GetAudioCompressor received invalid pointer");

    CompressorRef out;
    ASSERT_TRUE(GetCompressor(0, &out, reg).isOk());
    ASSERT_TRUE(out);
    EXPECT_EQ(out->category(), Cat::Video);

    // Out of range either way: the output is cleared, without a message.
    EXPECT_TRUE(GetCompressor(-1, &out, reg).isOk());
    EXPECT_FALSE(out);
    GetCompressor(0, &out, reg);
    EXPECT_TRUE(GetCompressor(2, &out, reg).isOk());
    EXPECT_FALSE(out);

    s = GetCompressor(1, &out, reg);
    EXPECT_EQ(s.text(), "Failed to bind to object");
    EXPECT_FALSE(out);
    // An audio device is no video compressor and the other way round.
    EXPECT_TRUE(GetCompressor(0, &out, registryOf({audio("aac", "AAC as video")})).failed());

    // By name, as the command line chooses: the encoder or the list name, in either case,
    // within the category asked for.
    EXPECT_EQ(findCompressor(Cat::Video, "MPEG4", reg), 0);
    EXPECT_EQ(findCompressor(Cat::Video, "gone", reg), 1);
    EXPECT_EQ(findCompressor(Cat::Audio, "aac", reg), 0);
    EXPECT_FALSE(findCompressor(Cat::Video, "aac", reg));
    EXPECT_FALSE(findCompressor(Cat::Video, "mpeg", reg));
    ASSERT_TRUE(bindCompressor(Cat::Audio, 0, &out, reg).isOk());
    ASSERT_TRUE(out);
    EXPECT_EQ(out->category(), Cat::Audio);

    auto r = ResolveStoredCompressors({1, kNoCompressor}, reg);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text(), "Failed to bind to object");
}

TEST(InstalledCompressors, FixedOrderWithTheDivxAndAdpcmDevicesPreferred) {
    const auto v = enumerateCompressors(Cat::Video);
    const auto a = enumerateCompressors(Cat::Audio);
    ASSERT_FALSE(v.empty());
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(v, enumerateCompressors(Cat::Video)) << "the order must not change between runs";

    const CompressorRegistry reg(v, a, nullptr);
    auto divx = FindPreferredVideoCompressor(reg);
    ASSERT_TRUE(divx);
    EXPECT_EQ(v[static_cast<std::size_t>(*divx)].encoder, "mpeg4");
    auto adpcm = FindPreferredAudioCompressor(reg);
    ASSERT_TRUE(adpcm);
    EXPECT_EQ(a[static_cast<std::size_t>(*adpcm)].encoder, "adpcm_ms");

    std::set<std::string> seen;
    for (const auto& list : {v, a}) {
        for (const auto& d : list) {
            EXPECT_TRUE(seen.insert(d.encoder).second) << d.encoder << " listed twice";
            EXPECT_NE(d.containers, 0) << d.encoder;
            EXPECT_FALSE(d.friendlyName.empty());
            for (const char* hw : {"_vaapi", "_qsv", "_nvenc", "_v4l2m2m", "_omx"})
                EXPECT_EQ(d.encoder.find(hw), std::string::npos) << d.encoder;
            // The uncompressed rows already stand for raw frames.
            EXPECT_NE(d.encoder, "rawvideo");
            EXPECT_NE(d.encoder, "pcm_s16le");
        }
    }
    // Only the DivX-compatible codec answers the DivX search (Xvid is its own entry).
    int divxNamed = 0;
    for (const auto& d : v)
        divxNamed += asciiLower(d.friendlyName).find("divx") != std::string::npos;
    EXPECT_EQ(divxNamed, 1);
}
