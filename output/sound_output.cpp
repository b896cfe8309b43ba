// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/sound_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace {

// The device thread's period, and how much sound the device itself holds: enough to play
// on while this thread waits for a busy machine's processor. PulseAudio gives the stream
// about half of it and the sink the rest, and a sink that was held up takes all it missed
// at once when it runs again, so the stream's half must outlast the longest hold-up (a
// virtual machine's host stops it for up to a quarter of a second). The clock reads what
// the device has played, and Pause silences it at once, whatever it holds.
constexpr int kFeedPeriodMs = 5;
constexpr int kDeviceBufferMs = 800;
// A device that has sound to play and plays none of it for this long has lost its sound
// server (it reports no error on every system).
constexpr std::int64_t kStallLimitMs = 1500;

std::int64_t monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::unique_ptr<SoundOutput> SoundOutput::open(const media::AudioFormat& format) {
    if (QMediaDevices::defaultAudioOutput().isNull()) return nullptr;
    std::unique_ptr<SoundOutput> out(new SoundOutput(format));
    if (!out->start()) return nullptr;
    return out;
}

SoundOutput::SoundOutput(const media::AudioFormat& format) : format_(format) {}

bool SoundOutput::start() {
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("sound output"));
    context_ = new QObject;
    context_->moveToThread(thread_);
    thread_->start();
    bool started = false;
    // The sink, its device and its timer belong to the sound thread; once, at the start of
    // a preview, the interface thread waits for the device to open.
    QMetaObject::invokeMethod(
        context_,
        [this, &started] {
            QAudioFormat f;
            f.setSampleRate(format_.sampleRate);
            f.setChannelCount(format_.channels);
            f.setSampleFormat(QAudioFormat::Float);
            const QAudioDevice device = QMediaDevices::defaultAudioOutput();
            if (!device.isFormatSupported(f)) return;
            sink_ = new QAudioSink(device, f);
            sink_->setBufferSize(f.bytesForDuration(kDeviceBufferMs * 1000));
            device_ = sink_->start();
            if (!device_ || sink_->error() != QAudio::NoError) return;
            timer_ = new QTimer;
            timer_->setTimerType(Qt::PreciseTimer);
            QObject::connect(timer_, &QTimer::timeout, [this] { feed(); });
            timer_->start(kFeedPeriodMs);
            started = true;
        },
        Qt::BlockingQueuedConnection);
    return started;
}

SoundOutput::~SoundOutput() {
    if (!thread_) return;
    QMetaObject::invokeMethod(
        context_,
        [this] {
            delete timer_;
            if (sink_) sink_->stop();
            delete sink_;
            delete context_;
        },
        Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete thread_;
}

void SoundOutput::write(const media::render::AudioBlock& block) {
    const std::size_t channels = block.samples.size();
    const std::size_t frames = static_cast<std::size_t>(block.size());
    if (channels != static_cast<std::size_t>(format_.channels) || frames == 0) return;
    std::lock_guard lock(mutex_);
    if (lost_) return;
    const std::size_t at = queued_.size();
    queued_.resize(at + frames * channels);
    float* out = queued_.data() + at;
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c) *out++ = block.samples[c][i];
}

media::Ticks SoundOutput::position() const {
    return heard_.load();
}

bool SoundOutput::drained() const {
    std::lock_guard lock(mutex_);
    // A lost device plays nothing more: the clock that took over says when the end is.
    if (lost_) return false;
    return queuedOffset_ >= queued_.size() && playedFrames_.load() >= handedFrames_;
}

void SoundOutput::suspend() {
    std::lock_guard lock(mutex_);
    suspended_ = true;
}

void SoundOutput::resume() {
    std::lock_guard lock(mutex_);
    suspended_ = false;
}

void SoundOutput::reset(media::Ticks position) {
    std::lock_guard lock(mutex_);
    queued_.clear();
    queuedOffset_ = 0;
    handedFrames_ = 0;
    playedFrames_ = 0;
    base_ = position;
    heard_ = position;
    flush_ = true;
}

void SoundOutput::giveUp() {
    lost_ = true;
    timer_->stop();
    device_ = nullptr;
    queued_.clear();
    queuedOffset_ = 0;
}

void SoundOutput::feed() {
    std::lock_guard lock(mutex_);
    if (lost_) return;
    if (flush_) {
        // What the device still holds belongs to the old position.
        sink_->reset();
        device_ = sink_->start();
        deviceSuspended_ = false;
        flush_ = false;
        lastProcessedUs_ = 0;
        stalledSinceMs_ = -1;
    }
    if (!device_ || sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError ||
        (sink_->error() == QAudio::IOError && sink_->state() == QAudio::StoppedState)) {
        giveUp();
        return;
    }
    if (suspended_ != deviceSuspended_) {
        if (suspended_)
            sink_->suspend();
        else
            sink_->resume();
        deviceSuspended_ = suspended_;
    }
    const qsizetype frameBytes = static_cast<qsizetype>(sizeof(float)) * format_.channels;
    if (!deviceSuspended_) {
        const std::size_t waiting =
            (queued_.size() - queuedOffset_) / static_cast<std::size_t>(format_.channels);
        const qsizetype room = sink_->bytesFree() / frameBytes;
        const qsizetype frames = std::min<qsizetype>(room, static_cast<qsizetype>(waiting));
        if (frames > 0) {
            const qint64 written = device_->write(
                reinterpret_cast<const char*>(queued_.data() + queuedOffset_), frames * frameBytes);
            if (written > 0) {
                const std::int64_t n = written / frameBytes;
                handedFrames_ += n;
                queuedOffset_ +=
                    static_cast<std::size_t>(n) * static_cast<std::size_t>(format_.channels);
            }
        }
        if (queuedOffset_ > (1u << 16) && queuedOffset_ * 2 > queued_.size()) {
            queued_.erase(queued_.begin(),
                          queued_.begin() + static_cast<std::ptrdiff_t>(queuedOffset_));
            queuedOffset_ = 0;
        }
    }
    // What has been heard: the device's processed time, which on the PulseAudio backend is
    // the stream's played time (what was handed over minus what the sink still holds), and
    // never more than was handed over. It restarts at 0 with every reset.
    const std::int64_t processedUs = sink_->processedUSecs();
    const std::int64_t processed = processedUs * format_.sampleRate / 1'000'000;
    playedFrames_ =
        std::max<std::int64_t>(playedFrames_.load(), std::min(processed, handedFrames_));
    heard_ = base_ + playedFrames_.load() * media::kTicksPerSecond / format_.sampleRate;
    const bool waitingToPlay = !deviceSuspended_ && handedFrames_ > playedFrames_.load();
    if (processedUs != lastProcessedUs_ || !waitingToPlay) {
        lastProcessedUs_ = processedUs;
        stalledSinceMs_ = -1;
    } else if (stalledSinceMs_ < 0) {
        stalledSinceMs_ = monotonicMs();
    } else if (monotonicMs() - stalledSinceMs_ > kStallLimitMs) {
        giveUp();
    }
}
