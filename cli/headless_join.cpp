// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/headless_join.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <memory>
#include <random>

#include "app/clip_adding.h"
#include "app/clip_list.h"
#include "app/join_checks.h"
#include "app/status_line.h"
#include "cli/join_setup.h"
#include "timeline/output_renderer.h"
#include "timeline/timeline_builder.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

namespace cli {
namespace {

// The MP4 options the user last accepted are used as they are: there is nobody to ask.
class HeadlessRenderer : public timeline::OutputRenderer {
public:
    using OutputRenderer::OutputRenderer;

protected:
    void showFilterProperties(timeline::OutputRun&) override {}
};

void say(const QString& text, const QString& caption = StringText(105)) {
    ui::showMessage(nullptr, text, caption, ui::Buttons::Ok, ui::Icon::Error);
}

// Puts the clips in the list the way Add Video does; false when one could not be added.
bool addClips(const QStringList& paths, const TransitionDefaults& transitions, ClipList& clips) {
    std::mt19937 random(std::random_device{}());
    ClipAdder adder(nullptr, clips, transitions, random);
    bool all = true;
    for (const QString& path : paths) {
        if (!adder.add(QFileInfo(path).absoluteFilePath())) {
            say(QStringLiteral("%1 could not be added to the list.").arg(path));
            all = false;
        }
    }
    adder.finish();
    clips.rebuildAudioSources();
    return all;
}

// The Join checks, with the command line's answers to the two questions.
bool passesJoinChecks(const ClipList& clips, const JoinRequest& request, const OutputOptions& options) {
    if (const auto refusal = joincheck::listRefusal(clips)) {
        say(refusal->text, refusal->caption);
        return false;
    }
    if (joincheck::outputIsAClip(clips, options.outputName)) {
        say(joincheck::outputIsAClipText(options.outputName));
        return false;
    }
    if (QFileInfo::exists(options.outputName) && !request.replace) {
        say(joincheck::replaceQuestion(options.outputName) + QStringLiteral(" Add --replace to replace it."),
            StringText(108));
        return false;
    }
    if (joincheck::asksForVideoCompressor(options))
        ui::showMessage(nullptr, joincheck::noCompressorQuestion().section(QLatin1Char('\n'), 0, 0), StringText(108));
    return true;
}

class ProgressLine {
public:
    ProgressLine(const Terminal& terminal, double expectedPictures, bool quiet)
        : terminal_(terminal), expected_(expectedPictures), quiet_(quiet) {
        clock_.start();
    }

    // Once a second: "Please wait... Used Time: hh:mm:ss   nn%   about hh:mm:ss left".
    void update(std::int64_t picturesWritten) {
        const int seconds = static_cast<int>(clock_.elapsed() / 1000);
        if (quiet_ || seconds == shownSeconds_) return;
        shownSeconds_ = seconds;
        const double done = expected_ > 0 ? static_cast<double>(picturesWritten) / expected_ : 0.0;
        const QByteArray line = joinProgressText(seconds, done).toUtf8();
        std::fprintf(terminal_.progress, terminal_.rewriteLine ? "\r%s" : "%s\n", line.constData());
        std::fflush(terminal_.progress);
        drawn_ = true;
    }

    void end() {
        if (drawn_ && terminal_.rewriteLine) std::fputc('\n', terminal_.progress);
    }

private:
    const Terminal& terminal_;
    double expected_;
    bool quiet_;
    QElapsedTimer clock_;
    int shownSeconds_ = -1;
    bool drawn_ = false;
};

// Stop and completion: the file is finished with what was written and the "Done" line shown.
int finishRun(timeline::OutputRun& run, const OutputOptions& options, const Terminal& terminal, int code) {
    const media::Status finished = run.stop();
    if (media::wroteNothing(finished)) {
        say(joincheck::stoppedBeforeWritingText(options.outputName), StringText(108));
        return kStopped;
    }
    if (finished.failed()) {
        say(QStringLiteral("The output file could not be finished: %1").arg(QString::fromStdString(finished.text())));
        return kFailed;
    }
    std::fprintf(terminal.result, "%s\n",
                 doneStatusText(options, run.copyReport()).toUtf8().constData());
    std::fflush(terminal.result);
    return code;
}

// Waits for the render's end, showing progress; Stop ends it early with the file kept.
int waitForRender(timeline::OutputRun& run, const OutputOptions& options, double expectedPictures,
                  const std::atomic<bool>& stopRequested, const Terminal& terminal, bool quiet) {
    ProgressLine progress(terminal, expectedPictures, quiet);
    for (;;) {
        if (stopRequested.load()) {
            progress.end();
            return finishRun(run, options, terminal, kStopped);
        }
        media::render::EngineEvent event;
        if (!run.getEvent(event, 100)) {
            progress.update(run.output() ? run.output()->picturesWritten() : 0);
            continue;
        }
        if (event.code == media::render::kEventComplete) {
            progress.end();
            return finishRun(run, options, terminal, kJoined);
        }
        if (event.code == media::render::kEventErrorAbort) {
            progress.end();
            run.abandon();
            say(QStringLiteral("The join stopped: %1").arg(QString::fromStdString(event.status.text())));
            return kFailed;
        }
    }
}

}  // namespace

int runHeadlessJoin(const JoinRequest& request, const SettingsStore& store, const std::atomic<bool>& stopRequested,
                    const Terminal& terminal) {
    JoinSetup setup;
    if (const QString wrong = setUpJoin(request, store, setup); !wrong.isEmpty()) {
        say(wrong);
        return kUsage;
    }
    auto clips = std::make_unique<ClipList>();  // two fixed tables: kept off the stack
    if (!addClips(request.clips, setup.transitions, *clips)) return kFailed;
    if (!passesJoinChecks(*clips, request, setup.options)) return kFailed;

    // A clip that disappears between adding and building is an error, not a question.
    const media::LocateFile noLocating = [](const std::string&) { return std::optional<std::string>(); };
    timeline::TimelineBuilder builder(nullptr, *clips, setup.options, noLocating);
    if (!builder.BuildTimeline()) return kFailed;
    const double expectedPictures =
        static_cast<double>(builder.length()) / 1e7 * builder.frameRate();

    // Interrupted while the clips were read: nothing has been written, so nothing is kept.
    if (stopRequested.load()) {
        say(joincheck::stoppedBeforeWritingText(setup.options.outputName), StringText(108));
        return kStopped;
    }
    HeadlessRenderer renderer(nullptr, setup.options, {setup.compressors.video, setup.compressors.audio}, [] {});
    renderer.RenderToFile(builder.takeCurrent());
    if (!renderer.started()) return kFailed;
    std::unique_ptr<timeline::OutputRun> run = renderer.takeRun();
    return waitForRender(*run, setup.options, expectedPictures, stopRequested, terminal,
                         request.quiet);
}

}  // namespace cli
