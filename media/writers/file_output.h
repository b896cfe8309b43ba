// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output half of a join: the render engine's first video group and first audio group
// written as the two streams of one file. Connecting reads what the engine produces and
// fixes the writer's streams; run() opens the writer (every check, the temporary file, the
// header) and starts the engine. The writer finishes the file on the engine's thread when
// the last frame is in; stopping by hand finishes it from the caller's thread once the
// engine's threads have ended, so the file plays up to the last frame written; stopped
// before its first picture, it leaves no file and the target as it was.
#include <memory>

#include "media/render/render_engine.h"
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

    render::RenderEngine& engine_;
    WriterSettings settings_;
    std::shared_ptr<const wm::Profile> profile_;
    int videoGroup_ = -1, audioGroup_ = -1;
    std::shared_ptr<Sink> sink_;
};

// True for the status of a stop() that removed its file because nothing was in it yet.
inline bool wroteNothing(const Status& stopped) {
    return stopped.code() == Status::kAborted;
}

}  // namespace media
