// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's sound device: plays a render's sound through Qt Multimedia on a thread of
// its own, and tells how much of it has really been heard. That position is the clock a
// preview plays its pictures by.
#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "media/core/ticks.h"
#include "media/render/audio_pipeline.h"
#include "media/timeline/media_type.h"

class QAudioSink;
class QIODevice;
class QThread;
class QTimer;

class SoundOutput : public QObject {
    Q_OBJECT
public:
    // The default sound device for `format`, or null when the machine has none (or it
    // refuses the format): the preview then plays by the system clock, without sound.
    static std::unique_ptr<SoundOutput> open(const media::AudioFormat& format);
    ~SoundOutput() override;

    // From the render's thread: queues sound for the device, in timeline order.
    void write(const media::render::AudioBlock& block);

    // The timeline position heard now: the position of the last reset plus what the device
    // has played since (handed to it minus what it still holds). Any thread.
    media::Ticks position() const;
    // True once everything written has been played.
    bool drained() const;
    // True once the device failed or stopped playing what it holds (its sound server went
    // away): nothing more is written to it, and position() stays at what was heard last.
    bool lost() const { return lost_; }

    // Interface thread; the device follows within one period of its thread.
    void suspend();
    void resume();
    // Forgets every queued sample; the position becomes `position` until more is played.
    void reset(media::Ticks position);

private:
    explicit SoundOutput(const media::AudioFormat& format);
    bool start();
    void feed();    // the device thread's period: hands queued sound to the device
    void giveUp();  // device thread: the device is lost

    media::AudioFormat format_;
    QThread* thread_ = nullptr;
    QObject* context_ = nullptr;  // lives on thread_: the target of calls made there
    QAudioSink* sink_ = nullptr;  // lives on thread_
    QIODevice* device_ = nullptr;
    QTimer* timer_ = nullptr;

    mutable std::mutex mutex_;
    std::vector<float> queued_;     // interleaved samples not yet handed to the device
    std::size_t queuedOffset_ = 0;  // samples of queued_ already handed over
    std::int64_t handedFrames_ = 0;
    std::atomic<std::int64_t> playedFrames_{0};
    media::Ticks base_ = 0;
    // base_ plus what was played, as of the last period. Read without the lock: the lock is
    // held while the device is fed, and a sound server that keeps the device waiting must
    // not hold up the pictures and the window, which read the clock all the time.
    std::atomic<media::Ticks> heard_{0};
    bool flush_ = false;
    bool suspended_ = false;
    bool deviceSuspended_ = false;
    std::atomic<bool> lost_{false};
    // When the device last played on, for telling a stalled device from a slow one.
    std::int64_t lastProcessedUs_ = 0;
    std::int64_t stalledSinceMs_ = -1;
};
