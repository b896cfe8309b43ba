// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/input_file.h"

#include <vector>

#include "media/core/clip_reader.h"
#include "media/core/log.h"

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
}

namespace media {
namespace {

// FFmpeg copies the interrupt callback into every I/O context it opens, where it stays
// for the context's whole life. So the callback carries no pointer that could dangle: it
// asks the deadline of the thread doing the read, if there is one.
thread_local const ReadDeadline* tDeadline = nullptr;
thread_local const ReadCancel* tCancel = nullptr;

int interruptWhenLate(void*) {
    return readsShouldStop() ? 1 : 0;
}

// FFmpeg reads the clip through our reader; large reads keep the hand-overs to its thread
// few.
constexpr int kIoBufferSize = 64 * 1024;

int readClip(void* opaque, std::uint8_t* buffer, int size) {
    return static_cast<ClipReader*>(opaque)->read(buffer, size);
}

std::int64_t seekClip(void* opaque, std::int64_t offset, int whence) {
    return static_cast<ClipReader*>(opaque)->seek(offset, whence);
}

// The I/O context over a reader; it owns the reader from here on (see releaseClipIo).
AVIOContext* clipIo(std::unique_ptr<ClipReader> reader) {
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer) return nullptr;
    AVIOContext* io =
        avio_alloc_context(buffer, kIoBufferSize, 0, reader.get(), readClip, nullptr, seekClip);
    if (!io) {
        av_free(buffer);
        return nullptr;
    }
    reader.release();
    return io;
}

void releaseClipIo(AVIOContext* io) {
    if (!io) return;
    delete static_cast<ClipReader*>(io->opaque);
    av_freep(&io->buffer);
    avio_context_free(&io);
}

// Demuxers that read other files or network addresses named inside the clip (playlists,
// manifests, composition lists, session descriptions, subtitle index files).
constexpr const char* kRefusedFormats[] = {"hls", "dash",       "concat",     "ffconcat", "imf",
                                           "sdp", "rtp",        "rtsp",       "sap",      "vobsub",
                                           "tee", "image2pipe", "tedcaptions"};

bool isRefused(const char* name) {
    for (const char* refused : kRefusedFormats)
        if (av_match_name(refused, name)) return true;
    return false;
}

// Every other demuxer of the linked library, as FFmpeg's format whitelist takes them. The
// whitelist is checked after probing and before the demuxer reads its header, which is
// where a playlist demuxer would already open the files it lists.
const std::string& allowedFormats() {
    static const std::string list = [] {
        std::string names;
        void* it = nullptr;
        while (const AVInputFormat* f = av_demuxer_iterate(&it)) {
            if (isRefused(f->name)) continue;
            if (!names.empty()) names += ',';
            names += f->name;
        }
        return names;
    }();
    return list;
}

}  // namespace

ReadDeadline::ReadDeadline(std::chrono::milliseconds budget)
    : end_(std::chrono::steady_clock::now() + budget), outer_(tDeadline) {
    tDeadline = this;
}

ReadDeadline::~ReadDeadline() {
    tDeadline = outer_;
}

ReadCancel::ReadCancel(const std::atomic<bool>& stop) : stop_(&stop), outer_(tCancel) {
    tCancel = this;
}

ReadCancel::ReadCancel(std::chrono::milliseconds limit)
    : end_(std::chrono::steady_clock::now() + limit), outer_(tCancel) {
    tCancel = this;
}

ReadCancel::~ReadCancel() {
    tCancel = outer_;
}

bool ReadCancel::anySet() const {
    if (stop_ && stop_->load()) return true;
    if (end_ != std::chrono::steady_clock::time_point::max() &&
        std::chrono::steady_clock::now() >= end_)
        return true;
    return outer_ && outer_->anySet();
}

bool readsCancelled() {
    return tCancel && tCancel->anySet();
}

bool readDeadlinePassed() {
    return tDeadline && tDeadline->expired();
}

bool readsShouldStop() {
    return readDeadlinePassed() || readsCancelled();
}

Status readFailure(const AVFormatContext* input) {
    if (!input || !(input->flags & AVFMT_FLAG_CUSTOM_IO) || !input->pb || !input->pb->opaque)
        return Status::ok();
    return static_cast<const ClipReader*>(input->pb->opaque)->failure();
}

namespace av {

void closeInput(AVFormatContext* input) {
    AVIOContext* ours = input && (input->flags & AVFMT_FLAG_CUSTOM_IO) ? input->pb : nullptr;
    avformat_close_input(&input);
    releaseClipIo(ours);
}

}  // namespace av

Status openInputFile(const std::string& path, av::InputPtr& out, const InputLimits& limits) {
    out.reset();
    installFfmpegLogRouting();
    ReadDeadline deadline(limits.openTimeout);
    std::unique_ptr<ClipReader> reader;
    if (Status s = ClipReader::open(path, reader); s.failed()) return s;

    AVFormatContext* ctx = avformat_alloc_context();
    if (!ctx) return Status::outOfMemory();
    AVIOContext* io = clipIo(std::move(reader));
    if (!io) {
        avformat_free_context(ctx);
        return Status::outOfMemory();
    }
    ctx->pb = io;
    ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
    ctx->interrupt_callback = {interruptWhenLate, nullptr};
    ctx->probesize = limits.probeSizeBytes;
    ctx->max_analyze_duration = limits.analyzeDurationMicros;
    ctx->flags |= AVFMT_FLAG_DISCARD_CORRUPT;
    ctx->format_whitelist = av_strdup(allowedFormats().c_str());  // freed with the context
    if (!ctx->format_whitelist) {
        avformat_free_context(ctx);
        releaseClipIo(io);
        return Status::outOfMemory();
    }

    AVDictionary* options = nullptr;
    // Containers such as HLS playlists, concat lists or tee could otherwise make the
    // demuxer open other files or network addresses on the clip's behalf.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "safe", "1", 0);
    // An image file is read as that one image, never as a numbered sequence of its siblings.
    av_dict_set(&options, "pattern_type", "none", 0);
    int rc = avformat_open_input(&ctx, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (rc < 0) {
        // avformat_open_input frees the context on failure, but not our I/O.
        const Status stalled = static_cast<const ClipReader*>(io->opaque)->failure();
        releaseClipIo(io);
        if (stalled.failed()) return stalled;
        if (rc == AVERROR_EXIT && deadline.expired())
            return {Status::kFail, "Opening " + path + " took too long"};
        return Status::fromAv(rc, "Cannot open " + path);
    }
    av::InputPtr input(ctx);
    // Formats that would pull in other resources are not clips.
    const char* name = input->iformat ? input->iformat->name : "";
    if (isRefused(name)) return {Status::kFail, std::string("Unsupported container: ") + name};
    std::vector<AVDictionary*> codecOptions(input->nb_streams, nullptr);
    for (AVDictionary*& o : codecOptions) av_dict_set_int(&o, "max_pixels", limits.maxPixels, 0);
    rc = avformat_find_stream_info(input.get(),
                                   codecOptions.empty() ? nullptr : codecOptions.data());
    for (AVDictionary*& o : codecOptions) av_dict_free(&o);
    if (Status stalled = readFailure(input.get()); stalled.failed()) return stalled;
    if (rc == AVERROR_EXIT && deadline.expired())
        return {Status::kFail, "Reading the streams of " + path + " took too long"};
    if (rc < 0) return Status::fromAv(rc, "Cannot read the streams of " + path);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVCodecParameters* par = input->streams[i]->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO &&
            (par->width > limits.maxWidth || par->height > limits.maxHeight || par->width < 0 ||
             par->height < 0 ||
             static_cast<std::int64_t>(par->width) * par->height > limits.maxPixels)) {
            return {Status::kFail, "The picture size of " + path + " is out of range"};
        }
    }
    out = std::move(input);
    return Status::ok();
}

}  // namespace media
