// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/preview_sink.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "output/preview_clock.h"
#include "output/sound_output.h"
#include "output/video_renderer.h"

PreviewSink::PreviewSink(int videoGroup, VideoRenderer* video, int audioGroup, SoundOutput* sound,
                         PreviewClock& clock, media::Ticks length)
    : videoGroup_(videoGroup),
      audioGroup_(audioGroup),
      video_(video),
      sound_(sound),
      clock_(clock),
      length_(length) {}

namespace {

// Images reused for conversion: those on their way to the window and in it, and a few
// prepared ahead. Further ones are made afresh.
constexpr std::size_t kKeptImages = VideoRenderer::kMaxInFlight + 5;
// Prepared pictures kept for their writeVideo: the render's picture queue and a few more.
constexpr std::size_t kMaxPrepared = 8;

}  // namespace

QImage PreviewSink::toImage(const media::Frame& frame) {
    std::lock_guard lock(convertMutex_);
    QImage image(frame.width(), frame.height(), QImage::Format_RGB32);
    return convertInto(frame, image) ? image : QImage();
}

bool PreviewSink::convertInto(const media::Frame& frame, QImage& image) {
    if (image.isNull()) return false;
    sws_.reset(sws_getCachedContext(sws_.release(), frame.width(), frame.height(),
                                    AV_PIX_FMT_YUV420P, frame.width(), frame.height(),
                                    AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!sws_) return false;
    const std::uint8_t* src[4] = {frame.plane(0), frame.plane(1), frame.plane(2), nullptr};
    const int srcStride[4] = {frame.stride(0), frame.stride(1), frame.stride(2), 0};
    std::uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(sws_.get(), src, srcStride, 0, frame.height(), dst, dstStride);
    return true;
}

QImage PreviewSink::convert(const media::Frame& frame) {
    std::lock_guard lock(convertMutex_);
    const QSize size(frame.width(), frame.height());
    // An image only this sink holds is free: the window has let go of it.
    auto free = std::find_if(images_.begin(), images_.end(), [&](const QImage& image) {
        return image.isDetached() && image.size() == size;
    });
    if (free == images_.end()) {
        if (images_.size() >= kKeptImages) {
            QImage image(size, QImage::Format_RGB32);
            return convertInto(frame, image) ? image : QImage();
        }
        images_.emplace_back(size, QImage::Format_RGB32);
        free = images_.end() - 1;
    }
    return convertInto(frame, *free) ? *free : QImage();
}

void PreviewSink::prepareVideo(int group, const media::Frame& frame) {
    if (group != videoGroup_ || !video_) return;
    QImage image = convert(frame);
    if (image.isNull()) return;  // writeVideo tries again, and says what failed
    std::lock_guard lock(preparedMutex_);
    // A picture no later than the last prepared: the render started again (a seek).
    if (!prepared_.empty() && prepared_.back().first >= frame.pts) prepared_.clear();
    if (prepared_.size() >= kMaxPrepared) prepared_.pop_front();
    prepared_.emplace_back(frame.pts, std::move(image));
}

QImage PreviewSink::takePrepared(media::Ticks time) {
    std::lock_guard lock(preparedMutex_);
    // Those before it were dropped as late.
    while (!prepared_.empty() && prepared_.front().first < time) prepared_.pop_front();
    if (prepared_.empty() || prepared_.front().first != time) return {};
    QImage image = std::move(prepared_.front().second);
    prepared_.pop_front();
    return image;
}

media::Status PreviewSink::writeVideo(int group, const media::Frame& frame) {
    if (group != videoGroup_ || !video_) return media::Status::ok();
    QImage image = takePrepared(frame.pts);
    if (image.isNull()) image = convert(frame);
    if (image.isNull())
        return media::Status::outOfMemory("The picture could not be converted for the window.");
    video_->offer(std::move(image), frame.pts, !clock_.playing());
    clock_.delivered(true);
    return media::Status::ok();
}

media::Status PreviewSink::writeAudio(int group, const media::render::AudioBlock& block) {
    if (group != audioGroup_) return media::Status::ok();
    if (sound_) sound_->write(block);
    clock_.delivered(false);
    return media::Status::ok();
}

media::Status PreviewSink::finish() {
    // Everything has been handed over; the end comes when it has been played. A clock that
    // stands while it should play (a device that stopped without a word) ends it too.
    using namespace std::chrono;
    media::Ticks last = clock_.now();
    auto movedAt = steady_clock::now();
    while (!interrupted_) {
        const media::Ticks now = clock_.now();
        if (now >= length_) break;
        if (sound_ && sound_->drained()) break;
        if (now != last || !clock_.playing()) {
            last = now;
            movedAt = steady_clock::now();
        } else if (steady_clock::now() - movedAt > kStandingClockLimit) {
            break;
        }
        std::this_thread::sleep_for(milliseconds(5));
    }
    return media::Status::ok();
}
