// SPDX-License-Identifier: GPL-3.0-or-later
// Every compressor the lists offer for a format writes a file that plays; the ones that
// cannot are refused with a reason that names what they refused.
#include "media/writers/compressor_trial.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "dsm_reader.h"
#include "media/codecs/codec_options.h"
#include "media/codecs/stored_compressors.h"
#include "media/writers/compressor_trial_request.h"
#include "media/writers/output_format.h"
#include "support/media/test_media.h"
#include "support/media/written_file.h"

using namespace media;
using codecs::CompressorCategory;

namespace {

constexpr int kFrames = 5;
const FrameRate kFilmRate{24000, 1001};

TrialOutput trialFor(int formatCode) {
    TrialOutput o;
    o.formatCode = formatCode;
    o.width = 352;
    o.height = 240;
    o.frameRate = kFilmRate;
    return o;
}

// Five pictures, or the sound of five pictures, through the compressor into a real file.
Status writeFive(const codecs::Compressor& c, const TrialOutput& o, const std::string& path) {
    WriterSettings s;
    s.path = path;
    s.formatCode = o.formatCode;
    const ContainerInfo& container = *containerForCode(o.formatCode);
    const bool global = containerWantsGlobalHeader(container);
    if (c.category() == CompressorCategory::Video) {
        s.video = VideoStreamSpec{o.width, o.height, {o.frameRate.num, o.frameRate.den}, {0, 1}};
        if (Status st = c.openEncoder(
                codecs::VideoStreamParams{
                    o.width, o.height, {o.frameRate.num, o.frameRate.den}, global},
                s.videoEncoder.context);
            !st)
            return st;
    } else {
        s.audio = AudioStreamSpec{o.sampleRate, o.channels};
        if (Status st = c.openEncoder(codecs::AudioStreamParams{o.sampleRate, o.channels, global},
                                      s.audioEncoder.context);
            !st)
            return st;
    }
    std::unique_ptr<MediaWriter> w;
    if (Status st = openMediaWriter(std::move(s), w); !st) return st;
    if (c.category() == CompressorCategory::Video) {
        Frame f(o.width, o.height);
        for (int i = 0; i < kFrames; ++i) {
            f = deepCopy(f);
            f.fillRgb(static_cast<std::uint8_t>(40 * i), 100, 200);
            f.pts = static_cast<Ticks>(i) * kTicksPerSecond * o.frameRate.den / o.frameRate.num;
            if (Status st = w->writeVideo(f); !st) return st;
        }
    } else {
        const int samples = o.sampleRate * kFrames * o.frameRate.den / o.frameRate.num;
        std::vector<float> tone(static_cast<std::size_t>(samples));
        for (int k = 0; k < samples; ++k)
            tone[static_cast<std::size_t>(k)] = 0.3f * static_cast<float>((k / 50) % 2);
        const float* planes[2] = {tone.data(), tone.data()};
        if (Status st = w->writeAudio(planes, samples); !st) return st;
    }
    return w->finish();
}

// What the file holds: pictures decoded, or sound samples read.
bool plays(const std::string& path, const TrialOutput& o, CompressorCategory category,
           std::string& why) {
    if (o.formatCode == static_cast<int>(OutputFormat::Dsm)) {
        dsmtest::File f;
        if (!dsmtest::readDsm(path, f, why)) return false;
        if (f.samples.empty()) why = "no packets";
        return !f.samples.empty();
    }
    writertest::ReadBack rb;
    if (!writertest::readBack(path, rb, &why)) return false;
    if (category == CompressorCategory::Video) {
        if (rb.framesDecoded < 1 || rb.width != o.width || rb.height != o.height)
            why = "decoded " + std::to_string(rb.framesDecoded) + " pictures of " +
                  std::to_string(rb.width) + "x" + std::to_string(rb.height);
        return rb.framesDecoded >= 1 && rb.width == o.width && rb.height == o.height;
    }
    if (rb.audioSamples <= 0) why = "no sound";
    return rb.audioSamples > 0;
}

}  // namespace

TEST(CompressorTrial, EveryRowNotGreyedWritesAFileThatPlays) {
    const auto& registry = codecs::installedCompressors();
    const std::string dir = testmedia::scratchDir("compressor_trial");
    for (int format : {0, 2, 4, 5}) {
        const TrialOutput o = trialFor(format);
        for (CompressorCategory category : {CompressorCategory::Video, CompressorCategory::Audio}) {
            int offered = 0;
            const auto& devices = registry.devices(category);
            for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
                if (!compressorRefusal(category, i, o, registry).empty()) continue;
                ++offered;
                codecs::CompressorRef c;
                ASSERT_TRUE(codecs::bindCompressor(category, i, &c, registry));
                const std::string path = dir + "/" + devices[static_cast<std::size_t>(i)].encoder +
                                         "." + std::to_string(format) + ".out";
                const Status st = writeFive(*c, o, path);
                ASSERT_TRUE(st) << devices[static_cast<std::size_t>(i)].friendlyName
                                << " in format " << format << ": " << st.text();
                std::string why;
                EXPECT_TRUE(plays(path, o, category, why))
                    << devices[static_cast<std::size_t>(i)].friendlyName << " in format " << format
                    << ": " << why;
                std::filesystem::remove(path);
            }
            EXPECT_GT(offered, 0) << "format " << format;
        }
    }
}

TEST(CompressorTrial, RefusalsSayWhatWasRefused) {
    const auto& registry = codecs::installedCompressors();
    // Encoders that the linked libavcodec lacks are passed over.
    auto check = [&](CompressorCategory category, const char* encoder, const TrialOutput& o,
                     const char* said) {
        const auto index = codecs::findCompressor(category, encoder, registry);
        if (!index) return;
        const std::string why = compressorRefusal(category, *index, o, registry);
        if (said) {
            EXPECT_NE(why.find(said), std::string::npos) << encoder << ": " << why;
        } else {
            EXPECT_EQ(why, "") << encoder;
        }
    };
    check(CompressorCategory::Video, "h261", trialFor(0), "352*240");
    TrialOutput cif = trialFor(0);
    cif.height = 288;
    cif.frameRate = {25, 1};
    check(CompressorCategory::Video, "h261", cif, nullptr);

    TrialOutput odd = trialFor(0);
    odd.frameRate = {12, 1};
    check(CompressorCategory::Video, "mpeg1video", odd, "12");
    check(CompressorCategory::Audio, "flac", trialFor(4), "FLAC");
    check(CompressorCategory::Video, "rv10", trialFor(2), "Matroska");

    TrialOutput at48k = trialFor(0);
    at48k.sampleRate = 48000;
    check(CompressorCategory::Audio, "adpcm_swf", at48k, "48000 Hz");
}

TEST(CompressorTrial, FreshSettingsJoinMp4AndMatroskaWithH264AndAac) {
    for (int format : {2, 4}) {
        const codecs::ResolvedCompressors r =
            codecs::ResolveStoredCompressors({codecs::kNeverChosen, codecs::kNeverChosen, format});
        ASSERT_TRUE(r.pVideoCompressor);
        ASSERT_TRUE(r.pAudioCompressor);
        EXPECT_EQ(r.pVideoCompressor->device().encoder, "libx264");
        EXPECT_EQ(r.pAudioCompressor->device().encoder, "aac");
        EXPECT_EQ(compressorRefusal(*r.pVideoCompressor, trialFor(format)), "");
        EXPECT_EQ(compressorRefusal(*r.pAudioCompressor, trialFor(format)), "");
    }
    const codecs::ResolvedCompressors avi =
        codecs::ResolveStoredCompressors({codecs::kNeverChosen, codecs::kNeverChosen, 0});
    ASSERT_TRUE(avi.pVideoCompressor);
    EXPECT_EQ(avi.pVideoCompressor->device().encoder, "mpeg4")
        << "the DivX-compatible one, as before";
}

TEST(CompressorTrial, ARequestCrossesToAHelperWithItsConfigurationAndTheAnswerComesBack) {
    const codecs::CompressorDevice device{"mpeg4", "DivX-compatible MPEG-4 (mpeg4)",
                                          CompressorCategory::Video, 7};
    const auto store = std::make_shared<const codecs::CodecStateStore>(
        testmedia::scratchDir("trial_request"));
    codecs::EncoderSettings configured = codecs::codecOptionsFor("mpeg4").defaults;
    configured.bitrate = 1'234'000;
    configured.keyFrameInterval = 17;
    ASSERT_TRUE(store->save("mpeg4", codecs::serializeSettings("mpeg4", configured)));
    const codecs::Compressor compressor(device, avcodec_find_encoder_by_name("mpeg4"), store);

    TrialOutput o = trialFor(2);
    o.frameRate = {30000, 1001};
    const TrialRequest sent = trialRequestFor(compressor, o);
    const auto received = parseTrialArguments(trialArguments(sent));
    ASSERT_TRUE(received);
    EXPECT_EQ(trialKey(*received), trialKey(sent));
    EXPECT_EQ(received->device, device);
    EXPECT_EQ(received->output, o);
    const codecs::CompressorRef rebuilt = requestedCompressor(*received);
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->settings(), configured) << "the helper tries what the program would use";

    // Another configuration or another size is another trial; the sound's settings are not.
    configured.bitrate = 2'000'000;
    EXPECT_NE(trialKey(trialRequestFor(*compressor.withSettings(configured), o)), trialKey(sent));
    TrialOutput otherSound = o;
    otherSound.sampleRate = 22050;
    EXPECT_EQ(trialKey(trialRequestFor(compressor, otherSound)), trialKey(sent));

    std::vector<std::string> args = trialArguments(sent);
    for (const char* bad : {"width=0", "width=12x", "rate=25", "format=42", "configuration=abc",
                            "category=subtitle", "bogus"}) {
        std::vector<std::string> broken = args;
        const std::string name = std::string(bad).substr(0, std::string(bad).find('='));
        for (auto& a : broken)
            if (a.starts_with(name + "=")) a = bad;
        if (name == "bogus") broken.push_back(bad);
        EXPECT_FALSE(parseTrialArguments(broken)) << bad;
    }
    args.pop_back();
    EXPECT_FALSE(parseTrialArguments(args)) << "a field missing";

    EXPECT_EQ(parseTrialAnswer("noise\n" + trialAnswerLine("")), std::optional<std::string>(""));
    EXPECT_EQ(parseTrialAnswer(trialAnswerLine("X does not take\nthis size.")),
              std::optional<std::string>("X does not take this size."));
    for (const std::string& printed :
         {std::string(), std::string("Segmentation fault\n"), trialAnswerLine("a") + trialAnswerLine(""),
          std::string("clipfuse-trial-answer works"), std::string("clipfuse-trial-answer refused \n"),
          std::string("clipfuse-trial-answer maybe\n")})
        EXPECT_FALSE(parseTrialAnswer(printed)) << printed;
}
