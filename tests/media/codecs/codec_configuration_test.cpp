// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/codec_configuration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "media/codecs/compressor_catalogue.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/log.h"
#include "support/media/test_media.h"

using namespace media::codecs;

namespace {

std::vector<CodecInfo> table(std::initializer_list<const char*> descriptions) {
    std::vector<CodecInfo> t;
    for (const char* d : descriptions) t.push_back({"mpeg4", d});
    return t;
}

// A dialog that records what it was shown and answers as told.
struct ScriptedDialog {
    std::optional<EncoderSettings> answer;
    std::vector<EncoderSettings> shown;
    std::vector<std::string> codecs;

    ConfigureDialog fn() {
        return [this](const CodecOptions& o,
                      const EncoderSettings& current) -> std::optional<EncoderSettings> {
            codecs.push_back(o.encoder);
            shown.push_back(current);
            return answer;
        };
    }
};

std::shared_ptr<const CodecStateStore> freshStore(const std::string& name) {
    return std::make_shared<const CodecStateStore>(testmedia::scratchDir(name));
}

}  // namespace

TEST(CodecMatching, EqualDescriptionsIgnoringCaseAndTheLastOneWins) {
    EXPECT_EQ(matchCodecDescription(table({"Motion JPEG", "DivX-compatible MPEG-4 (mpeg4)"}),
                                    "divx-COMPATIBLE mpeg-4 (MPEG4)"),
              1);
    EXPECT_EQ(matchCodecDescription(table({"Same", "Other", "SAME"}), "same"), 2);
    EXPECT_EQ(matchCodecDescription(table({"Motion JPEG"}), "Motion JPEG "), -1);
    // The synthetic row names no codec and holds no "divx".
    EXPECT_EQ(matchCodecDescription(table({"Motion JPEG", "DivX 5.2.1 Codec"}),
                                    "Full frames (uncompressed)"),
              -1);
    EXPECT_EQ(matchCodecDescription({}, "anything"), -1);
}

TEST(CodecMatching, DivxCodecsOfOtherVersionsMatchWhenNothingIsEqual) {
    EXPECT_EQ(matchCodecDescription(table({"Xvid", "DivX\xc2\xae 5.2.1 Codec", "divx 4.0"}),
                                    "DivX 6.8 Codec (2 Logical CPUs)"),
              1);
    // An equal description wins over an earlier DivX-by-version match...
    EXPECT_EQ(matchCodecDescription(table({"DivX 5.2.1", "x", "DivX 6.8"}), "divx 6.8"), 2);
    // ...and a DivX description later than an equal one does not replace it.
    EXPECT_EQ(matchCodecDescription(table({"DivX 6.8", "DivX 5.2.1"}), "divx 6.8"), 0);
    // Both sides need a version.
    EXPECT_EQ(matchCodecDescription(table({"DivX Pro Codec"}), "DivX 6.8 Codec"), -1);
    EXPECT_EQ(matchCodecDescription(table({"DivX 5.2.1 Codec"}), "DivX Codec"), -1);
    EXPECT_TRUE(hasVersionRun("v1.2.3"));
    EXPECT_FALSE(hasVersionRun("..."));
}

TEST(CodecTable, HoldsOnlyCodecsTakingA352x240Picture) {
    media::installFfmpegLogRouting();  // the refusals of the codecs that fail stay out of the log
    auto devices = enumerateCompressors(CompressorCategory::Video);
    // libx265 keeps a block of its own for the life of the process once opened, which the
    // leak checker of the sanitizer build reports; the table is the same without it.
    std::erase_if(devices, [](const CompressorDevice& d) { return d.encoder == "libx265"; });
    const auto t = buildCodecTable(devices);
    ASSERT_FALSE(t.empty());
    EXPECT_LE(t.size(), kMaxCodecTable);
    auto has = [&](const char* handler) {
        return std::any_of(t.begin(), t.end(),
                           [&](const CodecInfo& c) { return c.handler == handler; });
    };
    EXPECT_TRUE(has("mpeg4"));
    EXPECT_EQ(t.front().handler, devices.front().encoder) << "the table keeps the device order";
    // H.263 takes only its standard picture sizes, DV only television ones.
    EXPECT_FALSE(has("h263"));
    EXPECT_FALSE(has("dvvideo"));

    // Never more than the table holds, however many codecs there are.
    std::vector<CompressorDevice> many(80, devices.front());
    EXPECT_EQ(buildCodecTable(many).size(), kMaxCodecTable);
}

TEST(CodecConfigure, AcceptedSettingsAreKeptByTheCodecAndInTheBuffer) {
    auto store = freshStore("configure_accept");
    const auto t = table({"DivX-compatible MPEG-4 (mpeg4)"});
    CodecStateBuffer buffer;
    ScriptedDialog dialog;
    EncoderSettings chosen = codecOptionsFor("mpeg4").defaults;
    chosen.quality = 9;
    chosen.keyFrameInterval = 12;
    dialog.answer = chosen;

    auto outcome =
        configureVideoCodec("DivX-compatible MPEG-4 (mpeg4)", t, buffer, store, dialog.fn());
    EXPECT_EQ(outcome.kind, ConfigureResultKind::Accepted);
    EXPECT_TRUE(outcome.status.isOk());
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0], codecOptionsFor("mpeg4").defaults);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(parseSettings("mpeg4", *buffer), chosen);
    EXPECT_EQ(store->load("mpeg4"), *buffer);

    // Cancelling changes neither what the codec keeps nor the buffer.
    dialog.answer.reset();
    outcome = configureVideoCodec("DivX-compatible MPEG-4 (mpeg4)", t, buffer, store, dialog.fn());
    EXPECT_EQ(outcome.kind, ConfigureResultKind::Cancelled);
    EXPECT_EQ(dialog.shown.back(), chosen);
    EXPECT_EQ(parseSettings("mpeg4", *store->load("mpeg4")), chosen);
}

TEST(CodecConfigure, TheSavedStatePreloadsTheNextDialogOfTheSameSize) {
    auto store = freshStore("configure_preload");
    const auto t = std::vector<CodecInfo>{{"mpeg4", "A"}, {"libx264", "B"}, {"libx265", "C"}};
    CodecStateBuffer buffer;
    ScriptedDialog dialog;
    EncoderSettings chosen = codecOptionsFor("mpeg4").defaults;
    chosen.quality = 20;
    dialog.answer = chosen;
    configureVideoCodec("A", t, buffer, store, dialog.fn());

    // The codec lost its file (another user, a clean-up): the buffer still pre-loads it.
    std::filesystem::remove(store->pathFor("mpeg4"));
    dialog.answer.reset();
    configureVideoCodec("A", t, buffer, store, dialog.fn());
    EXPECT_EQ(dialog.shown.back(), chosen);

    // Another codec with another state size: the buffer is discarded and made anew.
    configureVideoCodec("B", t, buffer, store, dialog.fn());
    EXPECT_EQ(dialog.codecs.back(), "libx264");
    EXPECT_EQ(dialog.shown.back(), codecOptionsFor("libx264").defaults);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->size(), stateSizeFor("libx264"));

    // That new buffer was never filled (cancelled); and a state of another codec of the
    // same size is refused by the codec, which keeps its own.
    ASSERT_EQ(stateSizeFor("libx264"), stateSizeFor("libx265"));
    configureVideoCodec("C", t, buffer, store, dialog.fn());
    EXPECT_EQ(dialog.shown.back(), codecOptionsFor("libx265").defaults);
    EncoderSettings x264 = codecOptionsFor("libx264").defaults;
    x264.quality = 30;
    buffer = serializeSettings("libx264", x264);
    configureVideoCodec("C", t, buffer, store, dialog.fn());
    EXPECT_EQ(dialog.shown.back(), codecOptionsFor("libx265").defaults);
}

TEST(CodecConfigure, NoMatchAndNoStateEndQuietly) {
    auto store = freshStore("configure_quiet");
    CodecStateBuffer buffer = std::vector<std::uint8_t>{1, 2, 3};
    ScriptedDialog dialog;
    auto outcome =
        configureVideoCodec("Full frames (uncompressed)", table({"A"}), buffer, store, dialog.fn());
    EXPECT_EQ(outcome.kind, ConfigureResultKind::NoMatch);

    outcome = configureVideoCodec("PNG", {{"png", "PNG"}}, buffer, store, dialog.fn());
    EXPECT_EQ(outcome.kind, ConfigureResultKind::NoState);
    outcome = configureVideoCodec("Gone", {{"no-such-codec", "Gone"}}, buffer, store, dialog.fn());
    EXPECT_EQ(outcome.kind, ConfigureResultKind::NoState);
    EXPECT_TRUE(dialog.shown.empty());
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(CodecConfigure, AnAcceptedConfigurationThatCannotBeSavedIsReported) {
    const auto root = std::filesystem::path(testmedia::scratchDir("configure_unwritable"));
    { std::ofstream(root / "blocked") << "x"; }
    auto store = std::make_shared<const CodecStateStore>(root / "blocked" / "codecs");
    CodecStateBuffer buffer;
    ScriptedDialog dialog;
    dialog.answer = codecOptionsFor("mpeg4").defaults;
    auto outcome = configureVideoCodec("A", {{"mpeg4", "A"}}, buffer, store, dialog.fn());
    EXPECT_EQ(outcome.kind, ConfigureResultKind::Accepted);
    EXPECT_TRUE(outcome.status.failed());
    EXPECT_FALSE(outcome.status.text().empty());
}
