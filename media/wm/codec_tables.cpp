// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/wm/codec_tables.h"

namespace media::wm {
namespace {

struct AudioRow {
    std::uint32_t nominalKbps;  // as the runtime names the format; documents the row
    std::uint32_t samplesPerSec;
    std::uint16_t channels;
    std::uint32_t avgBytesPerSec;
    std::uint16_t blockAlign;
};

// Windows Media Audio v2 (tag 0x161). Each bitrate comes in a music variant with large
// blocks and an audio/video variant with small blocks, which interleave better with
// pictures; some byte rates sit a few bytes beside the nominal rate, as the codec's own
// tables do. Order: by bitrate from the top, as the runtime lists them.
constexpr AudioRow kWmaV2Rows[] = {
    {320, 48000, 2, 40000, 14861}, {320, 44100, 2, 40000, 14861}, {256, 48000, 2, 32000, 11889},
    {256, 44100, 2, 32000, 11889}, {192, 48000, 2, 24000, 8917},  {192, 44100, 2, 24002, 8917},
    {192, 44100, 2, 24000, 4458},  {160, 48000, 2, 20000, 7430},  {160, 44100, 2, 20000, 7430},
    {160, 44100, 2, 20000, 3715},  {128, 48000, 2, 16000, 5945},  {128, 44100, 2, 16000, 5945},
    {128, 44100, 2, 16000, 2973},  {128, 44100, 2, 16003, 1487},  {96, 48000, 2, 12000, 4458},
    {96, 44100, 2, 12000, 4458},   {96, 44100, 2, 12000, 2229},   {96, 44100, 2, 12001, 2229},
    {80, 44100, 2, 10000, 3715},   {80, 44100, 2, 10000, 1858},   {64, 48000, 2, 8000, 2972},
    {64, 44100, 2, 8003, 2973},    {64, 44100, 2, 8000, 1486},    {64, 44100, 1, 8000, 2972},
    {48, 44100, 2, 6000, 2229},    {48, 44100, 2, 6003, 1115},    {48, 44100, 1, 6000, 2229},
    {40, 44100, 1, 5000, 1858},    {32, 44100, 2, 4000, 1487},    {32, 44100, 1, 4000, 1487},
    {32, 44100, 1, 4000, 743},
};

// Windows Media Audio 10 Professional (0x162) and Lossless (0x163), which the search
// passes over for a v2 request.
constexpr AudioRow kWmaProRows[] = {
    {384, 48000, 2, 48000, 17833}, {256, 48000, 2, 32000, 11889}, {192, 44100, 2, 24000, 8917},
    {128, 44100, 2, 16000, 5945},  {128, 44100, 2, 16000, 2973},
};
constexpr AudioRow kWmaLosslessRows[] = {
    {470, 44100, 2, 58800, 13375},
    {940, 48000, 2, 117600, 13375},
};
constexpr AudioRow kWmaVoiceRows[] = {
    {20, 22050, 1, 2500, 1250},
    {16, 16000, 1, 2000, 1000},
    {8, 8000, 1, 1000, 500},
};

MediaType audioFormat(std::uint16_t tag, const AudioRow& r, std::vector<std::uint8_t> extra) {
    WaveFormatEx wf;
    wf.formatTag = tag;
    wf.channels = r.channels;
    wf.samplesPerSec = r.samplesPerSec;
    wf.avgBytesPerSec = r.avgBytesPerSec;
    wf.blockAlign = r.blockAlign;
    wf.bitsPerSample = 16;
    wf.extra = std::move(extra);
    return audioMediaType(wf);
}

template <std::size_t N>
CodecEntry audioCodec(std::string name, std::uint16_t tag, const AudioRow (&rows)[N],
                      std::vector<std::uint8_t> extra) {
    CodecEntry c{std::move(name), {}};
    for (const AudioRow& r : rows) c.formats.push_back(audioFormat(tag, r, extra));
    return c;
}

MediaType videoFormat(std::uint32_t code, int width, int height, std::uint32_t bitRate) {
    VideoInfoHeader v;
    v.source = {0, 0, width, height};
    v.target = v.source;
    v.bitRate = bitRate;
    v.avgTimePerFrame = 333333;  // 30 frames per second
    v.bmi.width = width;
    v.bmi.height = height;
    v.bmi.planes = 1;
    v.bmi.bitCount = 24;
    v.bmi.compression = code;
    v.bmi.sizeImage = static_cast<std::uint32_t>(width * height * 3);
    return videoMediaType(v, subtypeFromCode(code), true);
}

CodecEntry videoCodec(std::string name, std::uint32_t code) {
    CodecEntry c{std::move(name), {}};
    c.formats.push_back(videoFormat(code, 320, 240, 300000));
    c.formats.push_back(videoFormat(code, 640, 480, 1000000));
    return c;
}

CodecCatalog buildStandard() {
    CodecCatalog cat;
    // The v2 codec's extra bytes: samples per block and encoder options, as the runtime keeps them.
    cat.audio.push_back(audioCodec("Windows Media Audio 9.2", kTagWmaV2, kWmaV2Rows,
                                   {0x00, 0x88, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00}));
    cat.audio.push_back(audioCodec("Windows Media Audio 10 Professional", kTagWmaPro, kWmaProRows,
                                   std::vector<std::uint8_t>(18, 0)));
    cat.audio.push_back(audioCodec("Windows Media Audio 9.2 Lossless", kTagWmaLossless,
                                   kWmaLosslessRows, std::vector<std::uint8_t>(18, 0)));
    cat.audio.push_back(audioCodec("Windows Media Audio Voice 9", kTagWmaVoice, kWmaVoiceRows, {}));

    cat.video.push_back(videoCodec("Windows Media Video 9", fourcc("WMV3")));
    cat.video.push_back(videoCodec("Windows Media Video 8", fourcc("WMV2")));
    cat.video.push_back(videoCodec("Windows Media Video 7", fourcc("WMV1")));
    cat.video.push_back(videoCodec("Windows Media Video 9 Screen", fourcc("MSS2")));
    // The advanced profile describes itself with an MPEG-2 style format block, which a
    // VIDEOINFOHEADER search passes over; its VIDEOINFOHEADER form follows.
    CodecEntry advanced{"Windows Media Video 9 Advanced Profile", {}};
    MediaType mpeg2Style = videoFormat(fourcc("WVC1"), 320, 240, 300000);
    mpeg2Style.formatType = guids::kFormatMpeg2Video;
    advanced.formats.push_back(mpeg2Style);
    advanced.formats.push_back(videoFormat(fourcc("WMVA"), 320, 240, 300000));
    cat.video.push_back(std::move(advanced));
    return cat;
}

}  // namespace

const CodecCatalog& standardCodecs() {
    static const CodecCatalog catalog = buildStandard();
    return catalog;
}

}  // namespace media::wm
