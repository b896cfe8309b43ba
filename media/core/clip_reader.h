// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of one clip file, read on a thread of their own. A file on a network share that
// stops answering blocks its reader inside the kernel, beyond the reach of any flag; so the
// thread that wants the bytes never reads itself. It hands the read over and waits in short
// slices, watching its stop flag and how long the file has given nothing, and gives up
// when either says so. (A time budget only keeps new reads from starting: a read the file
// never answers ends as a stall, whatever the reader was doing, so the user always learns
// which file gave no data.) The reading thread is then left to finish (or not)
// on its own and closes the file when it does; nothing it touches belongs to the caller.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/core/status.h"

namespace media {

class ClipReader {
public:
    // Opens `path` for reading, under the same watch as a read. Fails with the texts of
    // openInputFile: missing, not a regular file, empty, unreadable, or no answer (the
    // stall text).
    static Status open(const std::string& path, std::unique_ptr<ClipReader>& out);
    ~ClipReader();
    ClipReader(const ClipReader&) = delete;
    ClipReader& operator=(const ClipReader&) = delete;

    // Reads up to `size` bytes at the current position: the count read, 0 at the end of
    // the file, or a negative FFmpeg error (AVERROR_EXIT when the caller stopped or its
    // time budget is spent). After a stall or a stop, every later read fails the same way.
    int read(std::uint8_t* buffer, int size);
    // As FFmpeg's seek callback: SEEK_SET, SEEK_CUR, SEEK_END or AVSEEK_SIZE.
    std::int64_t seek(std::int64_t offset, int whence);

    // Why reading failed for good: the file stopped giving data. Ok otherwise (a stop or
    // a spent time budget is the caller's own doing and is not the file's failure).
    const Status& failure() const { return failure_; }
    const std::string& path() const { return path_; }

private:
    struct Shared;
    ClipReader(std::string path, std::shared_ptr<Shared> shared);
    // Waits for the reading thread's answer; false when the caller gave up first.
    bool await(int& error);

    std::string path_;
    std::shared_ptr<Shared> shared_;
    std::int64_t position_ = 0;
    bool dead_ = false;
    int deadError_ = 0;
    Status failure_;
};

// Reads a whole small file (a list the program keeps, say) through a ClipReader, so that a
// file on a share that stopped answering holds the caller no longer than its ReadCancel or
// the stall limit allow (a ReadDeadline starts no new read, but lets a waiting one run on). Only a
// regular file is read; at most `maxBytes`, whatever size the file claims. A longer file fails with
// kFileTooLarge and `out` empty.
inline constexpr std::int32_t kFileTooLarge = static_cast<std::int32_t>(0x800700DF);
Status readSmallFile(const std::string& path, std::size_t maxBytes, std::string& out);

// What a path names, asked on a thread of its own like a read, so that a file on a share
// that stopped answering holds the caller no longer than its ReadDeadline, its ReadCancel or
// the stall limit allow (NoAnswer then). Unreadable: the path's attributes cannot be read.
enum class FileKind { Missing, Unreadable, Folder, Regular, Other, NoAnswer };
FileKind lookAtFile(const std::string& path);

// How long a clip may give no data before it counts as stalled: 30 seconds unless changed
// (tests shorten it). Applies to reads that start after the change.
void setReadStallLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds readStallLimit();

// "<path> gave no data for 30 seconds."
std::string stalledText(const std::string& path, std::chrono::milliseconds limit);

// Called on the reading thread before the file is opened (`opening`) and before each read.
// Tests stand in a file that stops answering by blocking here. Returns the hook it replaces.
using ReadHook = std::function<void(const std::string& path, bool opening)>;
ReadHook setReadHook(ReadHook hook);

}  // namespace media
