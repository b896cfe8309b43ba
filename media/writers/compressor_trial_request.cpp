// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/compressor_trial_request.h"

#include <charconv>
#include <map>

#include "media/codecs/codec_options.h"
#include "media/codecs/encoder_settings.h"
#include "media/writers/output_format.h"

namespace media {
namespace {

constexpr std::string_view kAnswerMarker = "clipfuse-trial-answer ";
constexpr std::string_view kWorks = "works";
constexpr std::string_view kRefused = "refused ";
constexpr std::size_t kMaxText = 4096;

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> unhex(const std::string& text) {
    if (text.size() % 2) return std::nullopt;
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const char* end = text.data() + i + 2;
        auto [p, ec] = std::from_chars(text.data() + i, end, value, 16);
        if (ec != std::errc() || p != end) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(value));
    }
    return out;
}

template <typename Int>
std::optional<Int> number(const std::string& text, Int min, Int max) {
    Int value{};
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || p != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

bool isVideo(const TrialRequest& r) {
    return r.device.category == codecs::CompressorCategory::Video;
}

}  // namespace

TrialRequest trialRequestFor(const codecs::Compressor& compressor, const TrialOutput& output) {
    TrialRequest r;
    r.device = compressor.device();
    r.output = output;
    r.bitrate = compressor.runBitrate();
    if (compressor.category() == codecs::CompressorCategory::Video &&
        codecs::codecOptionsFor(r.device.encoder).configurable())
        r.configuration = hex(codecs::serializeSettings(r.device.encoder, compressor.settings()));
    return r;
}

std::string trialKey(const TrialRequest& r) {
    const TrialOutput& o = r.output;
    // The name is in the key because the refusal text names the compressor.
    std::string key = r.device.encoder + "|" + r.device.friendlyName +
                      (isVideo(r) ? "|video|" : "|audio|") + r.configuration + "|" +
                      std::to_string(r.bitrate) + "|" + std::to_string(o.formatCode) + "|";
    if (isVideo(r))
        key += std::to_string(o.width) + "x" + std::to_string(o.height) + "@" +
               std::to_string(o.frameRate.num) + "/" + std::to_string(o.frameRate.den);
    else
        key += std::to_string(o.sampleRate) + "Hz" + std::to_string(o.channels);
    return key;
}

std::vector<std::string> trialArguments(const TrialRequest& r) {
    const TrialOutput& o = r.output;
    return {"category=" + std::string(isVideo(r) ? "video" : "audio"),
            "encoder=" + r.device.encoder,
            "name=" + r.device.friendlyName,
            "containers=" + std::to_string(r.device.containers),
            "configuration=" + r.configuration,
            "bitrate=" + std::to_string(r.bitrate),
            "format=" + std::to_string(o.formatCode),
            "width=" + std::to_string(o.width),
            "height=" + std::to_string(o.height),
            "rate=" + std::to_string(o.frameRate.num) + "/" + std::to_string(o.frameRate.den),
            "samplerate=" + std::to_string(o.sampleRate),
            "channels=" + std::to_string(o.channels)};
}

std::optional<TrialRequest> parseTrialArguments(const std::vector<std::string>& arguments) {
    std::map<std::string, std::string> values;
    for (const std::string& a : arguments) {
        const std::size_t eq = a.find('=');
        if (eq == std::string::npos || a.size() > kMaxText ||
            !values.emplace(a.substr(0, eq), a.substr(eq + 1)).second)
            return std::nullopt;
    }
    if (values.size() != 12) return std::nullopt;
    TrialRequest r;
    const std::string& category = values["category"];
    if (category != "video" && category != "audio") return std::nullopt;
    r.device.category =
        category == "video" ? codecs::CompressorCategory::Video : codecs::CompressorCategory::Audio;
    r.device.encoder = values["encoder"];
    r.device.friendlyName = values["name"];
    r.configuration = values["configuration"];
    const std::string& rate = values["rate"];
    const std::size_t slash = rate.find('/');
    const auto containers = number<int>(values["containers"], 0, 255);
    const auto bitrate = number<std::int64_t>(values["bitrate"], 0, 10'000'000'000);
    const auto format = number<int>(values["format"], 0, 99);
    const auto width = number<int>(values["width"], 1, 16384);
    const auto height = number<int>(values["height"], 1, 16384);
    const auto num = number<int>(rate.substr(0, slash), 1, 1'000'000'000);
    const auto den = slash == std::string::npos
                         ? std::nullopt
                         : number<int>(rate.substr(slash + 1), 1, 1'000'000'000);
    const auto sampleRate = number<int>(values["samplerate"], 1, 384000);
    const auto channels = number<int>(values["channels"], 1, 8);
    if (r.device.encoder.empty() || !containers || !bitrate || !format ||
        !containerForCode(*format) || !width || !height || !num || !den || !sampleRate ||
        !channels || !unhex(r.configuration))
        return std::nullopt;
    r.device.containers = static_cast<std::uint8_t>(*containers);
    r.bitrate = *bitrate;
    r.output = TrialOutput{*format, *width, *height, FrameRate{*num, *den}, *sampleRate, *channels};
    return r;
}

codecs::CompressorRef requestedCompressor(const TrialRequest& r) {
    const AVCodec* codec = avcodec_find_encoder_by_name(r.device.encoder.c_str());
    if (!codec) return nullptr;
    auto compressor = std::make_shared<const codecs::Compressor>(r.device, codec, nullptr);
    if (!r.configuration.empty()) {
        const codecs::CodecOptions options = codecs::codecOptionsFor(r.device.encoder);
        const auto bytes = unhex(r.configuration);
        const auto settings =
            bytes ? codecs::parseSettings(r.device.encoder, *bytes) : std::nullopt;
        if (!settings || !options.accepts(*settings)) return nullptr;
        compressor = compressor->withSettings(*settings);
    }
    if (r.bitrate > 0) compressor = compressor->withBitrate(r.bitrate);
    return compressor;
}

std::string trialAnswerLine(const std::string& refusal) {
    if (refusal.empty()) return std::string(kAnswerMarker) + std::string(kWorks) + "\n";
    std::string text = refusal.substr(0, kMaxText);
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return std::string(kAnswerMarker) + std::string(kRefused) + text + "\n";
}

std::optional<std::string> parseTrialAnswer(std::string_view printed) {
    std::optional<std::string> answer;
    while (!printed.empty()) {
        const std::size_t end = printed.find('\n');
        // An answer is a whole line: one cut short by a crash is no answer.
        if (end == std::string_view::npos) break;
        const std::string_view line = printed.substr(0, end);
        printed.remove_prefix(end + 1);
        if (!line.starts_with(kAnswerMarker)) continue;
        if (answer) return std::nullopt;  // two answers: neither can be trusted
        const std::string_view rest = line.substr(kAnswerMarker.size());
        if (rest == kWorks)
            answer = std::string();
        else if (rest.starts_with(kRefused) && rest.size() > kRefused.size() &&
                 rest.size() - kRefused.size() <= kMaxText)
            answer = std::string(rest.substr(kRefused.size()));
        else
            return std::nullopt;
    }
    return answer;
}

}  // namespace media
