// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/encoder_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/codecs/codec_options.h"
#include "media/codecs/codec_state_store.h"
#include "media/codecs/compressor.h"
#include "support/media/test_media.h"

using namespace media::codecs;
namespace fs = std::filesystem;

namespace {

EncoderSettings sample() {
    return {RateControl::Bitrate, 750'000, 17, 48, "veryfast", "film"};
}

void writeFile(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(CodecState, RoundTripsAndHasOneSizePerCodec) {
    auto bytes = serializeSettings("libx264", sample());
    EXPECT_EQ(bytes.size(), stateSizeFor("libx264"));
    EXPECT_EQ(parseSettings("libx264", bytes), sample());

    EncoderSettings other = sample();
    other.preset = "a";
    other.tune = "";
    EXPECT_EQ(serializeSettings("libx264", other).size(), bytes.size())
        << "size must not depend on the values";
    EXPECT_NE(stateSizeFor("mpeg4"), stateSizeFor("libx264"));

    // Texts longer than their field are cut, never spill into the next field.
    other.preset = std::string(40, 'p');
    auto parsed = parseSettings("libx264", serializeSettings("libx264", other));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->preset, std::string(kStateTextField - 1, 'p'));
    EXPECT_EQ(parsed->tune, "");
}

TEST(CodecState, RefusesDamagedTruncatedAndForeignStates) {
    const auto good = serializeSettings("libx264", sample());
    for (std::size_t i = 0; i < good.size(); ++i) {
        auto bad = good;
        bad[i] ^= 0x01;
        EXPECT_FALSE(parseSettings("libx264", bad)) << "byte " << i;
    }
    EXPECT_FALSE(parseSettings("libx264", std::span(good).first(good.size() - 1)));
    EXPECT_FALSE(parseSettings("libx264", {}));
    // Another codec's state of the very same size is still not this codec's.
    const auto foreign = serializeSettings("libx265", sample());
    ASSERT_EQ(foreign.size(), good.size());
    EXPECT_FALSE(parseSettings("libx264", foreign));
    // An all-zero block (a buffer never filled) is no state.
    EXPECT_FALSE(parseSettings("libx264", std::vector<std::uint8_t>(good.size(), 0)));
}

TEST(CodecOptions, DefaultsAreAcceptedAndLimitsEnforced) {
    for (const char* name :
         {"mpeg4", "libxvid", "libx264", "libx265", "libvpx", "libvpx-vp9", "mjpeg", "ffv1",
          "huffyuv", "utvideo", "libtheora", "prores_ks", "png", "zmbv"}) {
        const CodecOptions o = codecOptionsFor(name);
        EXPECT_TRUE(o.accepts(o.defaults)) << name;
        EXPECT_FALSE(o.title.empty()) << name;
    }
    const CodecOptions x264 = codecOptionsFor("libx264");
    EncoderSettings s = x264.defaults;
    s.quality = 52;
    EXPECT_FALSE(x264.accepts(s));
    s = x264.defaults;
    s.preset = "warp9";
    EXPECT_FALSE(x264.accepts(s));
    s = x264.defaults;
    s.keyFrameInterval = 0;
    EXPECT_FALSE(x264.accepts(s));

    // A codec with nothing to set has no state and so no configuration.
    EXPECT_FALSE(codecOptionsFor("png").configurable());
    EXPECT_TRUE(codecOptionsFor("huffyuv").configurable());
    EXPECT_EQ(codecOptionsFor("mpeg4").defaults.rateControl, RateControl::ConstantQuality);
}

TEST(CodecStateStore, SavesAtomicallyAndLoadsBack) {
    const fs::path dir = fs::path(testmedia::scratchDir("codec_store")) / "KORVANE" / "codecs";
    CodecStateStore store(dir);
    EXPECT_FALSE(store.load("mpeg4"));  // folder not even there yet

    const auto first = serializeSettings("mpeg4", sample());
    ASSERT_TRUE(store.save("mpeg4", first).isOk());
    auto second = sample();
    second.bitrate = 100'000;
    ASSERT_TRUE(store.save("mpeg4", serializeSettings("mpeg4", second)).isOk());
    EXPECT_EQ(store.load("mpeg4"), serializeSettings("mpeg4", second));

    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"mpeg4.state"})
        << "no temporary file may be left behind";

    // Names cannot reach outside the folder.
    EXPECT_EQ(store.pathFor("../x/y").parent_path(), dir);
}

TEST(CodecStateStore, DamagedOrHostileFilesGiveTheCodecsDefaults) {
    CodecStateStore store(testmedia::scratchDir("codec_store_damaged"));
    const CodecOptions x264 = codecOptionsFor("libx264");

    writeFile(store.pathFor("libx264"), {'g', 'a', 'r', 'b', 'a', 'g', 'e'});
    EXPECT_EQ(storedSettings(store, x264), x264.defaults);

    // Well-formed, but a value the codec does not take.
    EncoderSettings outOfRange = x264.defaults;
    outOfRange.quality = 99;
    writeFile(store.pathFor("libx264"), serializeSettings("libx264", outOfRange));
    EXPECT_EQ(storedSettings(store, x264), x264.defaults);

    writeFile(store.pathFor("libx264"),
              std::vector<std::uint8_t>(CodecStateStore::kMaxFileSize + 1, 7));
    EXPECT_FALSE(store.load("libx264"));
    EXPECT_EQ(storedSettings(store, x264), x264.defaults);

    // A folder where the file should be.
    fs::remove(store.pathFor("libx264"));
    fs::create_directories(store.pathFor("libx264"));
    EXPECT_EQ(storedSettings(store, x264), x264.defaults);
}

TEST(CodecStateStore, ReportsAFolderThatCannotBeWritten) {
    const fs::path root = testmedia::scratchDir("codec_store_blocked");
    // A file in place of the folder: creating the folder fails whoever runs the test.
    writeFile(root / "codecs", {1});
    CodecStateStore store(root / "codecs");
    media::Status s = store.save("mpeg4", serializeSettings("mpeg4", sample()));
    EXPECT_TRUE(s.failed());
    EXPECT_NE(s.text().find("codecs"), std::string::npos) << s.text();
}

TEST(CodecStateStore, UserFolderFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg-test", 1);
    EXPECT_EQ(CodecStateStore::userFolder(), fs::path("/tmp/cfg-test/KORVANE/codecs"));
    setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored, as the XDG rules say
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(CodecStateStore::userFolder(), fs::path("/home/someone/.config/KORVANE/codecs"));
    setenv("HOME", home.c_str(), 1);
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
