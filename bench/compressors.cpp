// Prints how long the compressor lists, the Settings button's codec table and opening each
// listed video encoder for a 720x480 stream take, and the lists themselves.
#include <chrono>
#include <cstdio>

#include "media/codecs/codec_configuration.h"
#include "media/codecs/compressor_catalogue.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/log.h"

using namespace media::codecs;
using Clock = std::chrono::steady_clock;

static double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

int main() {
    media::setLogSink(nullptr);
    media::installFfmpegLogRouting();

    auto t0 = Clock::now();
    auto video = enumerateCompressors(CompressorCategory::Video);
    auto audio = enumerateCompressors(CompressorCategory::Audio);
    std::printf("enumeration: %zu video, %zu audio devices in %.1f ms\n", video.size(), audio.size(), msSince(t0));

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
        std::printf("  video %2zu %-45s open %7.1f ms %s\n", i, video[i].friendlyName.c_str(), msSince(t0),
                    s.isOk() ? "" : s.text().c_str());
    }
    for (std::size_t i = 0; i < audio.size(); ++i) {
        CompressorRef c;
        GetAudioCompressor(static_cast<int>(i), &c, registry);
        media::av::CodecPtr ctx;
        t0 = Clock::now();
        media::Status s = c ? c->openEncoder(AudioStreamParams{44100, 2, false}, ctx) : media::Status::fail("not bound");
        std::printf("  audio %2zu %-45s open %7.1f ms %s\n", i, audio[i].friendlyName.c_str(), msSince(t0),
                    s.isOk() ? "" : s.text().c_str());
    }
    return 0;
}
