// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/codec_configuration.h"

#include "media/codecs/compressor.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/log.h"
#include "media/core/ffmpeg_ptr.h"

extern "C" {
#include <libavutil/dict.h>
}

namespace media::codecs {
namespace {

// Whether the encoder opens for a 352x240 picture at 25 frames a second.
bool takesQueryPicture(const AVCodec* codec) {
    av::CodecPtr ctx(avcodec_alloc_context3(codec));
    if (!ctx) return false;
    ctx->width = kQueryWidth;
    ctx->height = kQueryHeight;
    ctx->time_base = {1, 25};
    ctx->framerate = {25, 1};
    ctx->pix_fmt = encoderInputFormat(codec);
    if (ctx->pix_fmt == AV_PIX_FMT_YUVJ420P) ctx->color_range = AVCOL_RANGE_JPEG;
    ctx->thread_count = 1;
    AVDictionary* opts = nullptr;
    addQuietOptions(codec->name, &opts);
    installFfmpegLogRouting();
    const bool opened = avcodec_open2(ctx.get(), codec, &opts) >= 0;
    av_dict_free(&opts);
    return opened;
}

// The description as the table keeps it: at most kMaxDescriptionBytes, never cut inside a
// UTF-8 character.
std::string tableText(const std::string& text) {
    if (text.size() <= kMaxDescriptionBytes) return text;
    std::size_t end = kMaxDescriptionBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return asciiLower(a) == asciiLower(b);
}

bool isDivxWithVersion(const std::string& text) {
    return asciiLower(text).find("divx") != std::string::npos && hasVersionRun(text);
}

}  // namespace

std::vector<CodecInfo> buildCodecTable(const std::vector<CompressorDevice>& devices) {
    std::vector<CodecInfo> table;
    for (const auto& d : devices) {
        if (table.size() >= kMaxCodecTable) break;
        if (d.category != CompressorCategory::Video) continue;
        const AVCodec* codec = avcodec_find_encoder_by_name(d.encoder.c_str());
        if (!codec || codec->type != AVMEDIA_TYPE_VIDEO || !takesQueryPicture(codec)) continue;
        table.push_back({d.encoder, tableText(d.friendlyName)});
    }
    return table;
}

bool hasVersionRun(const std::string& text) {
    for (char c : text)
        if (c >= '0' && c <= '9') return true;  // a digit is a run of digits and dots by itself
    return false;
}

int matchCodecDescription(const std::vector<CodecInfo>& table, const std::string& chosenName) {
    int match = -1;
    const bool chosenIsDivx = isDivxWithVersion(chosenName);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string description = tableText(table[i].description);
        if (equalIgnoringCase(description, chosenName)) {
            match = static_cast<int>(i);
        } else if (match < 0 && chosenIsDivx && isDivxWithVersion(description)) {
            match = static_cast<int>(i);
        }
    }
    return match;
}

ConfigurableCodec::ConfigurableCodec(CodecOptions options,
                                     std::shared_ptr<const CodecStateStore> store)
    : options_(std::move(options)), settings_(options_.defaults), store_(std::move(store)) {
    if (store_) settings_ = storedSettings(*store_, options_);
}

std::unique_ptr<ConfigurableCodec> ConfigurableCodec::open(
    const std::string& handler, std::shared_ptr<const CodecStateStore> store) {
    const AVCodec* codec = avcodec_find_encoder_by_name(handler.c_str());
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO) return nullptr;
    return std::unique_ptr<ConfigurableCodec>(
        new ConfigurableCodec(codecOptionsFor(handler), std::move(store)));
}

std::size_t ConfigurableCodec::stateSize() const {
    return options_.configurable() ? stateSizeFor(options_.encoder) : 0;
}

std::vector<std::uint8_t> ConfigurableCodec::state() const {
    if (!options_.configurable()) return {};
    return serializeSettings(options_.encoder, settings_);
}

bool ConfigurableCodec::setState(std::span<const std::uint8_t> state) {
    auto s = parseSettings(options_.encoder, state);
    if (!s || !options_.accepts(*s)) return false;
    settings_ = *s;
    return true;
}

ConfigurableCodec::ConfigureResult ConfigurableCodec::configure(const ConfigureDialog& dialog) {
    ConfigureResult result;
    auto accepted = dialog ? dialog(options_, settings_) : std::nullopt;
    if (!accepted) return result;
    if (!options_.accepts(*accepted)) {
        result.saved =
            Status::invalidArg("The settings are outside what " + options_.title + " takes.");
        return result;
    }
    result.accepted = true;
    settings_ = *accepted;
    if (store_) result.saved = store_->save(options_.encoder, state());
    return result;
}

CodecStateBuffer& processCodecStateBuffer() {
    static CodecStateBuffer buffer;
    return buffer;
}

ConfigureOutcome configureVideoCodec(const std::string& chosenName,
                                     const std::vector<CodecInfo>& table, CodecStateBuffer& buffer,
                                     const std::shared_ptr<const CodecStateStore>& store,
                                     const ConfigureDialog& dialog) {
    ConfigureOutcome outcome;
    const int match = matchCodecDescription(table, chosenName);
    if (match < 0) return outcome;
    outcome.handler = table[static_cast<std::size_t>(match)].handler;

    auto codec = ConfigurableCodec::open(outcome.handler, store);
    const std::size_t size = codec ? codec->stateSize() : 0;
    if (size == 0) {
        outcome.kind = ConfigureResultKind::NoState;
        return outcome;
    }
    // The state saved last time pre-loads the dialog when it is of this size; the codec
    // itself refuses one that is not its own.
    if (buffer && buffer->size() == size) {
        codec->setState(*buffer);
    } else if (buffer) {
        buffer.reset();
    }
    if (!buffer) buffer.emplace(size, std::uint8_t{0});

    auto result = codec->configure(dialog);
    outcome.status = result.saved;
    if (!result.accepted) {
        outcome.kind = ConfigureResultKind::Cancelled;
        return outcome;
    }
    outcome.kind = ConfigureResultKind::Accepted;
    *buffer = codec->state();
    return outcome;
}

}  // namespace media::codecs
