// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output half of a join: the render engine's first video group and first audio group
// written as the two streams of one file. Connecting reads what the engine produces and
// fixes the writer's streams; run() opens the writer (every check, the temporary file, the
// header) and starts the engine. The writer finishes the file on the engine's thread when
// the last frame is in; stopping by hand finishes it from the caller's thread once the
// engine's threads have ended, so the file plays up to the last frame written; stopped
// before its first picture, it leaves no file and the target as it was.
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "media/render/render_engine.h"
#include "media/smart/copy_report.h"
#include "media/writers/media_writer.h"
#include "media/wm/profile.h"

namespace media {

class FileOutput {
public:
    ~FileOutput();
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    // `engine` has its front end connected; it must outlive the output. The settings' path,
    // format code and encoder choices are the caller's; their streams are filled in here.
    // `profile`, for WMV and ASF, is kept by the output for as long as it writes.
    static Status connect(render::RenderEngine& engine, WriterSettings settings,
                          std::shared_ptr<const wm::Profile> profile,
                          std::unique_ptr<FileOutput>& out);

    // The settings the writer will be opened with; may still be changed before run().
    WriterSettings& settings() { return settings_; }
    int videoGroup() const { return videoGroup_; }
    int audioGroup() const { return audioGroup_; }

    // Asks for the clips' unchanged pictures to be copied instead of encoded again, where
    // the clips and the output allow it (H.264 into MP4 or Matroska with libx264).
    void setCopyUnchanged(bool copy) { copyUnchanged_ = copy; }
    // What was copied; complete once the run has ended.
    CopyReport copyReport() const;

    Status run();
    // Ends a run by hand or after completion: the engine is stopped and, when the render
    // did not finish the file itself, the file is finished with what was written. A run
    // that had not handed the writer its first picture (without pictures: its first
    // sound) has nothing worth a file: its temporary file is removed, an older file of
    // the target's name is not touched, and the status is a failure that
    // wroteNothing() recognises.
    Status stop();
    // Ends a run that failed: the engine is stopped and the temporary file removed.
    void abandon();

    // Pictures handed to the writer so far; readable from any thread, for progress.
    std::int64_t picturesWritten() const;

    // What the writer really used (valid once run() succeeded).
    const WriterInfo* info() const;

private:
    class Sink;
    explicit FileOutput(render::RenderEngine& engine) : engine_(engine) {}
    // Whether the output can hold the clips' own pictures: H.264 from libx264, 8-bit 4:2:0
    // progressive, in MP4 or Matroska.
    bool outputTakesCopies() const;
    // On a thread of its own, so that reading the clips never holds up the caller: scans
    // the clips, plans what is copied, writes the header and starts the engine.
    void startCopying();
    void endStart();

    render::RenderEngine& engine_;
    WriterSettings settings_;
    std::shared_ptr<const wm::Profile> profile_;
    int videoGroup_ = -1, audioGroup_ = -1;
    bool copyUnchanged_ = false;
    mutable std::mutex reportMutex_;
    CopyReport copyReport_;
    std::thread starting_;
    std::atomic<bool> startStopped_{false};
    std::shared_ptr<Sink> sink_;
};

// True for the status of a stop() that removed its file because nothing was in it yet.
inline bool wroteNothing(const Status& stopped) {
    return stopped.code() == Status::kAborted;
}

}  // namespace media
