// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>
#include <chrono>
#include <string>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"

namespace media {

// Limits for opening a file that a user chose: any clip may be broken or hostile.
struct InputLimits {
    std::int64_t probeSizeBytes = 5 * 1024 * 1024;
    std::int64_t analyzeDurationMicros = 5'000'000;
    std::chrono::milliseconds openTimeout{10'000};  // opening and stream analysis together
    int maxWidth = 16384;
    int maxHeight = 16384;
    // Width times height: decoders refuse larger pictures already while the streams are
    // analysed, so a forged header cannot make them allocate gigabytes.
    std::int64_t maxPixels = 8192LL * 8192;
};

// Opens a local file for demuxing. Only the file itself is read: no network protocol, no
// other file that a playlist, reference or concat container might name. Fails with a
// status whose text says why (missing, unreadable, not a media file, too slow to analyse).
// The bytes are read through a ClipReader, so no read can hold the calling thread longer
// than the stall limit, its ReadDeadline or its ReadCancel allow. The opening is bounded by
// limits.openTimeout as well; later reads by a ReadDeadline where the caller sets one.
Status openInputFile(const std::string& path, av::InputPtr& out, const InputLimits& limits = {});

// Why reading an input opened by openInputFile failed for good (the file stopped giving
// data), or ok. Demuxers report such a failure as an end of file; a decoder that meets
// one asks here, so that a stalled clip fails instead of ending early.
Status readFailure(const AVFormatContext* input);

// While it lives, every read that this thread starts from an input opened by
// openInputFile fails (AVERROR_EXIT) once `budget` has passed, so that a damaged or
// enormous file cannot hold up the caller. A read already handed to the file is not cut
// short: one the file never answers ends at the stall limit with the stall text, so that
// a file that stopped answering is named as such. Deadlines nest: the innermost one
// holds. Other threads are not affected.
class ReadDeadline {
public:
    explicit ReadDeadline(std::chrono::milliseconds budget);
    ~ReadDeadline();
    ReadDeadline(const ReadDeadline&) = delete;
    ReadDeadline& operator=(const ReadDeadline&) = delete;

    bool expired() const { return std::chrono::steady_clock::now() > end_; }

private:
    std::chrono::steady_clock::time_point end_;
    const ReadDeadline* outer_;
};

// While it lives, every read that this thread makes from an input opened by openInputFile
// gives up (AVERROR_EXIT) within a few milliseconds of `stop` becoming true, even a read the
// file never answers. The render's threads set one with their stop flag, so that a Stop
// never waits for a file. They nest, and every one that lives counts.
//
// The second form sets itself once `limit` has passed. It is for a caller whose time limit
// is a promise to the user that it gives up, such as a clip restored at start that must not
// hold the others up: a file that never answers is left at that limit, where under a
// ReadDeadline it would be waited for until the stall limit names it.
class ReadCancel {
public:
    explicit ReadCancel(const std::atomic<bool>& stop);
    explicit ReadCancel(std::chrono::milliseconds limit);
    ~ReadCancel();
    ReadCancel(const ReadCancel&) = delete;
    ReadCancel& operator=(const ReadCancel&) = delete;

    bool anySet() const;

private:
    const std::atomic<bool>* stop_ = nullptr;
    std::chrono::steady_clock::time_point end_ = std::chrono::steady_clock::time_point::max();
    const ReadCancel* outer_;
};

// True when this thread's reads should give up now: its ReadDeadline has passed or its
// ReadCancel is set.
bool readsShouldStop();
// The two halves of it: a ReadCancel of this thread is set (reads give up at once, even
// one the file has not answered); this thread's ReadDeadline has passed (no read starts).
bool readsCancelled();
bool readDeadlinePassed();

}  // namespace media
