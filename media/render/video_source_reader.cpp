// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/video_source_reader.h"

#include "media/core/input_file.h"
#include "media/decode/picture_scaler.h"
#include "media/decode/video_decoder.h"

namespace media::render {

VideoSourceReader::VideoSourceReader(SourcePlan source, FrameTimes times, int width, int height,
                                     std::int64_t first, std::int64_t end, SkipFrame skip,
                                     const std::atomic<bool>& renderStopping)
    : source_(std::move(source)),
      times_(times),
      width_(width),
      height_(height),
      first_(first),
      end_(end),
      skip_(std::move(skip)),
      renderStopping_(renderStopping) {
    thread_ = std::thread([this] { run(); });
}

VideoSourceReader::~VideoSourceReader() {
    stopping_ = true;
    queue_.close();
    if (thread_.joinable()) thread_.join();
}

void VideoSourceReader::run() {
    ReadCancel renderStopped(renderStopping_);
    ReadCancel readerStopped(stopping_);
    decode::VideoDecoder decoder;
    Status s = decoder.open(source_.path);
    if (!s) {
        queue_.push({first_, {}, s});
        return;
    }
    decode::PictureScaler scaler;
    std::uint64_t lastSerial = 0;
    Frame lastPicture;
    bool behind = false;  // frames were skipped as late since the last one drawn
    for (std::int64_t k = first_; k < end_; ++k) {
        Item item{k, {}, {}};
        if (skip_ && skip_(k)) {
            behind = true;
        } else {
            // Catching up, the pictures passed over need not be decoded whole: those no other
            // picture refers to are left out, and this frame may show the reference before.
            decoder.discardNonReference(behind);
            behind = false;
            const AVFrame* frame = nullptr;
            // A picture stamped up to a tenth of a frame after the frame's time belongs to
            // it: containers that keep times in milliseconds round a 30 fps picture up by as
            // much, and it would otherwise be shown one frame late, its predecessor twice.
            const Ticks due = times_.at(k) + times_.interval() / 10;
            item.status = decoder.frameAt(source_.mediaTimeAt(due), frame);
            if (item.status && !frame) {
                item.picture = Frame(width_, height_);  // no picture in the file: black
            } else if (item.status && decoder.pictureSerial() == lastSerial &&
                       !lastPicture.empty()) {
                item.picture = lastPicture;  // the same picture again: shown as drawn before
            } else if (item.status) {
                Frame picture(width_, height_);
                item.status = scaler.draw(*frame, decoder.rotation(), source_.stretch, picture);
                if (!item.status)
                    item.status =
                        Status(item.status.code(), item.status.text() + " (" + source_.path + ")");
                item.picture = picture;
                lastPicture = picture;
                lastSerial = decoder.pictureSerial();
            }
            damaged_ = decoder.damagedPackets();
        }
        const bool failed = item.status.failed();
        if (!queue_.push(std::move(item)) || failed) return;
    }
}

Status VideoSourceReader::picture(std::int64_t k, Frame& out) {
    out = Frame();
    for (;;) {
        auto item = queue_.pop();
        if (!item) return {Status::kAborted, "The render was stopped."};
        if (item->status.failed()) return item->status;
        if (item->frame < k) continue;
        out = std::move(item->picture);
        return Status::ok();
    }
}

}  // namespace media::render
