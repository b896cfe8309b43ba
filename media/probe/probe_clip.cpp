// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/probe/probe_clip.h"

#include "media/probe/clip_length.h"
#include "media/probe/decodable_content.h"
#include "media/probe/decodable_streams.h"

namespace media {
namespace {

ClipInfo failure(ProbeFailure step, Status status) {
    ClipInfo info;
    info.failure = step;
    info.status = std::move(status);
    return info;
}

}  // namespace

ClipInfo probeClip(const std::string& path, const InputLimits& limits) {
    av::InputPtr input;
    Status opened = openInputFile(path, input, limits);
    if (opened.code() == Status::kOutOfMemory) return failure(ProbeFailure::CannotStart, opened);
    if (opened.failed()) return failure(ProbeFailure::CannotOpen, opened);

    DecodableStreams streams = findDecodableStreams(input.get());
    if (!streams.video && !streams.audio) {
        if (streams.outOfMemory) return failure(ProbeFailure::CannotStart, Status::outOfMemory());
        return failure(ProbeFailure::CannotOpen, Status::fail(streams.whyNone + ": " + path));
    }

    // The render engine positions every clip. A regular file always allows it; the check
    // keeps a stream that does not (some special file) from becoming a clip.
    if (input->pb && !(input->pb->seekable & AVIO_SEEKABLE_NORMAL))
        return failure(ProbeFailure::NotSeekable,
                       Status::fail("The file cannot be positioned: " + path));

    // A file that stops answering part way reads as one that ends there; it is named for
    // what it is, whichever step it stopped in.
    Status content = findDecodedContent(input.get(), streams, path);
    if (Status stalled = readFailure(input.get()); stalled.failed())
        return failure(ProbeFailure::CannotOpen, stalled);
    if (content.failed())
        return failure(content.code() == Status::kOutOfMemory ? ProbeFailure::CannotStart : ProbeFailure::CannotOpen,
                       content);

    auto length = measureClipLength(input.get());
    if (Status stalled = readFailure(input.get()); stalled.failed())
        return failure(ProbeFailure::CannotOpen, stalled);
    if (!length)
        return failure(ProbeFailure::NoLength,
                       Status::fail("The file states no usable length: " + path));

    ClipInfo info;
    info.duration = length->duration;
    info.durationEstimated = length->estimated;
    info.startTime = clipStartTime(input.get());
    info.containerName = input->iformat->name;
    info.video = std::move(streams.video);
    info.audio = std::move(streams.audio);
    return info;
}

}  // namespace media
