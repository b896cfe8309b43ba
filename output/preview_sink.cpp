// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/preview_sink.h"

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

// Prepared pictures kept for their writeVideo: the render's picture queue and a few more.
constexpr std::size_t kMaxPrepared = 8;

}  // namespace

QImage PreviewSink::toImage(const media::Frame& frame) {
    std::lock_guard lock(convertMutex_);
    QImage image(frame.width(), frame.height(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    sws_.reset(sws_getCachedContext(sws_.release(), frame.width(), frame.height(),
                                    AV_PIX_FMT_YUV420P, frame.width(), frame.height(),
                                    AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!sws_) return {};
    const std::uint8_t* src[4] = {frame.plane(0), frame.plane(1), frame.plane(2), nullptr};
    const int srcStride[4] = {frame.stride(0), frame.stride(1), frame.stride(2), 0};
    std::uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(sws_.get(), src, srcStride, 0, frame.height(), dst, dstStride);
    return image;
}

void PreviewSink::prepareVideo(int group, const media::Frame& frame) {
    if (group != videoGroup_ || !video_) return;
    QImage image = toImage(frame);
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
    if (image.isNull()) image = toImage(frame);
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
