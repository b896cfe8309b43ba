// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a built timeline into the output file: the render engine on the timeline, the
// writer the output format names with the user's compressors or a Windows Media profile,
// then the run. Each failing step tells the user what failed where it happens and ends the
// attempt; a run that started is handed to the caller, who holds it until
// stop-and-completion. Runs on the interface thread; the render itself runs on the engine's
// threads and reports through `notify`.
#include <functional>
#include <memory>
#include <string>

#include "media/codecs/compressor.h"
#include "media/writers/mp4_options.h"
#include "media/writers/output_format.h"
#include "output/output_options.h"
#include "timeline/output_run.h"

class QWidget;
class CDialogFilterPerproty;

namespace timeline {

// Runs the filter property dialog; the program shows it modally, tests answer it from code.
using FilterDialogRunner = std::function<void(CDialogFilterPerproty&)>;
// Installs `runner` for every later MP4 join and returns the previous one (empty: exec).
FilterDialogRunner setFilterDialogRunner(FilterDialogRunner runner);

struct OutputCompressors {
    media::codecs::CompressorRef video;  // inserted when the options' use flag is 1
    media::codecs::CompressorRef audio;
};

class OutputRenderer {
public:
    // `notify` is called from the engine's threads whenever an event is queued; it must
    // only post a message to the interface thread.
    OutputRenderer(QWidget* owner, OutputOptions& options, OutputCompressors compressors,
                   std::function<void()> notify);
    virtual ~OutputRenderer();

    // Succeeds even when a later step failed and was reported; started() tells whether the
    // run began.
    media::Status RenderToFile(std::shared_ptr<media::Timeline> timeline);
    // Builds the output half for `path` and runs it; the status of the first failing step.
    media::Status ConnectOutput(OutputRun& run, const std::string& path);

    bool started() const { return started_ != nullptr; }
    std::unique_ptr<OutputRun> takeRun() { return std::move(started_); }

protected:
    // MP4: the filter property dialog on the connected output, before the run.
    virtual void showFilterProperties(OutputRun& run);

private:
    media::Status attachWriter(OutputRun& run, media::WriterSettings& settings,
                               std::shared_ptr<const media::wm::Profile>& profile);
    media::Status attachWindowsMedia(media::render::RenderEngine& engine,
                                     std::shared_ptr<const media::wm::Profile>& profile);
    media::Status insertCompressors(OutputRun& run, media::WriterSettings& settings);
    // One compressor between its group's output and the writer; tells the user what failed.
    template <typename StreamParams>
    media::Status insertCompressor(const media::ContainerInfo& container,
                                   const media::codecs::CompressorRef& compressor, const char* kind,
                                   const StreamParams& params, media::av::CodecPtr& encoder);

    QWidget* owner_;
    OutputOptions& options_;
    OutputCompressors compressors_;
    std::function<void()> notify_;
    std::unique_ptr<OutputRun> started_;
    media::Mp4Options mp4Options_;
};

}  // namespace timeline
