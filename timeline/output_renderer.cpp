// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/output_renderer.h"

#include <QUrl>
#include <new>

#include "media/writers/compressor_trial.h"
#include "media/writers/output_format.h"
#include "output/compressor_configure.h"
#include "output/filter_property_dialog.h"
#include "output/mp4_writer_page.h"
#include "output/output_graph.h"
#include "platform/shell.h"
#include "timeline/wm_profile.h"
#include "ui/message_box.h"

namespace timeline {

namespace {

// Where a user can get a writer this build of the libraries lacks.
const char* const kMatroskaDownload = "https://www.matroska.org/downloads/windows.html";
const char* const kDsmDownload = "https://www.korvane.com/clipfuse/support/";

void message(QWidget* owner, const char* text) {
    ui::showPlainMessage(owner, QString::fromUtf8(text));
}

// The platform's error text for a failed step, as its own box.
void showErrorText(QWidget* owner, const media::Status& status) {
    QString text = QString::fromStdString(status.text());
    if (text.isEmpty())
        text = QStringLiteral("Unknown Error: 0x%1")
                   .arg(static_cast<std::uint32_t>(status.code()), 2, 16, QLatin1Char('0'));
    ui::showPlainMessage(owner, text);
}

void diagnostic(const char* format, const media::Status& status) {
    ShowDiagnostic(QString::asprintf(format, static_cast<unsigned>(status.code())));
}

FilterDialogRunner& filterDialogRunner() {
    static FilterDialogRunner runner;
    return runner;
}

bool writerAvailable(const media::ContainerInfo& container) {
    return !container.muxer || av_guess_format(container.muxer, nullptr, nullptr) != nullptr;
}

// A compressor the container cannot carry fails where it is connected to the writer.
media::Status checkCarried(const media::ContainerInfo& container, const AVCodec* codec) {
    if (media::containerCarries(container, codec->id)) return media::Status::ok();
    return media::Status::invalidArg("The codec \"" + media::codecDisplayName(codec->id) +
                                     "\" cannot be written into a " + container.name +
                                     " file. Choose another compressor or another output format.");
}

media::TrialOutput trialOutput(int formatCode, const media::codecs::VideoStreamParams& p) {
    media::TrialOutput o;
    o.formatCode = formatCode;
    o.width = p.width;
    o.height = p.height;
    o.frameRate = {p.frameRate.num, p.frameRate.den};
    return o;
}

media::TrialOutput trialOutput(int formatCode, const media::codecs::AudioStreamParams& p) {
    media::TrialOutput o;
    o.formatCode = formatCode;
    o.sampleRate = p.sampleRate;
    o.channels = p.channels;
    return o;
}

// A compressor that cannot write this output is refused before the file is begun, with
// what it refused and what to choose instead. Only the chosen compressor is tried, however
// long it takes: the others are the Options dialog's business.
media::Status compressorFits(const media::codecs::Compressor& compressor, const media::TrialOutput& output) {
    const std::string refusal = media::compressorRefusal(compressor, output);
    if (refusal.empty()) return media::Status::ok();
    std::string advice = " Choose another compressor in the Options dialog";
    const auto& devices = media::codecs::installedCompressors().devices(compressor.category());
    const auto preferred = media::codecs::findPreferredCompressor(
        compressor.category(), media::codecs::installedCompressors(), output.formatCode);
    if (preferred && devices[static_cast<std::size_t>(*preferred)].encoder != compressor.device().encoder)
        advice += ", for example \"" + devices[static_cast<std::size_t>(*preferred)].friendlyName + "\"";
    else
        advice += ", or another output format";
    return media::Status::invalidArg(refusal + advice + ".");
}

}  // namespace

FilterDialogRunner setFilterDialogRunner(FilterDialogRunner runner) {
    FilterDialogRunner previous = std::move(filterDialogRunner());
    filterDialogRunner() = std::move(runner);
    return previous;
}

OutputRenderer::OutputRenderer(QWidget* owner, OutputOptions& options, OutputCompressors compressors,
                               std::function<void()> notify)
    : owner_(owner), options_(options), compressors_(std::move(compressors)), notify_(std::move(notify)) {}

OutputRenderer::~OutputRenderer() = default;

media::Status OutputRenderer::RenderToFile(std::shared_ptr<media::Timeline> timeline) {
    started_.reset();
    auto run = std::unique_ptr<OutputRun>(new (std::nothrow) OutputRun);
    if (run) run->engine_.reset(new (std::nothrow) media::render::RenderEngine);
    if (!run || !run->engine_) {
        ui::showMessage(owner_, QStringLiteral("Could not create pRenderEngine"), QStringLiteral("Error"));
        return media::Status::ok();
    }
    run->timeline_ = timeline;
    media::render::RenderEngine& engine = *run->engine_;
    if (!engine.setTimelineObject(timeline)) {
        message(owner_, "Could not SetTimelineObject");
        return media::Status::ok();
    }
    // A file receives every frame; the real-time behaviour is the preview's.
    for (const auto& group : timeline->groups()) group->setPreviewMode(false);
    if (media::Status s = engine.connectFrontEnd(); !s) {
        message(owner_, "Could not ConnectFrontEnd");
        return media::Status::ok();
    }
    if (ConnectOutput(*run, options_.outputName.toStdString())) started_ = std::move(run);
    return media::Status::ok();
}

media::Status OutputRenderer::ConnectOutput(OutputRun& run, const std::string& path) {
    media::render::RenderEngine& engine = *run.engine_;
    if (engine.outputCount() == 0) {
        message(owner_, "Could not GetGroupCount( &Groups )");
        return media::Status::invalidArg("The timeline has no groups.");
    }

    media::WriterSettings settings;
    settings.path = path;
    settings.formatCode = options_.outputFormat;
    std::shared_ptr<const media::wm::Profile> profile;
    if (media::Status s = attachWriter(run, settings, profile); !s) return s;
    if (media::Status s = media::FileOutput::connect(engine, std::move(settings), profile, run.output_); !s) {
        message(owner_, "Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )");
        return s;
    }
    run.output_->setCopyUnchanged(options_.copyUnchanged != 0);
    if (media::Status s = insertCompressors(run, run.output_->settings()); !s) return s;

    engine.setNotify(notify_);
    if (options_.outputFormat == static_cast<int>(media::OutputFormat::Mp4)) showFilterProperties(run);

    if (media::Status s = run.output_->run(); !s) {
        message(owner_, "can not pControl->Run()!!!");
        showErrorText(owner_, s);
        return s;
    }
    return media::Status::ok();
}

media::Status OutputRenderer::attachWriter(OutputRun& run, media::WriterSettings&,
                                           std::shared_ptr<const media::wm::Profile>& profile) {
    const media::ContainerInfo* container = media::containerForCode(options_.outputFormat);
    if (!container) {
        ui::showPlainMessage(owner_, QStringLiteral("The output format %1 is not one this program can write. "
                                                    "Choose an output format in the Options dialog.")
                                         .arg(options_.outputFormat));
        return media::Status::invalidArg("unknown output format");
    }
    using media::OutputFormat;
    const auto format = container->format;
    if (!writerAvailable(*container)) {
        const bool matroska = format == OutputFormat::Matroska || format == OutputFormat::Mp4;
        message(owner_, matroska ? "Please install MKV codec)" : "Please install DSM Splitter/Muxer codec)");
        platform::shell().open(QUrl(QString::fromUtf8(matroska ? kMatroskaDownload : kDsmDownload)));
        return media::Status::fail(std::string("no ") + container->name + " writer");
    }
    if (container->windowsMedia) return attachWindowsMedia(*run.engine_, profile);
    return media::Status::ok();
}

media::Status OutputRenderer::attachWindowsMedia(media::render::RenderEngine& engine,
                                                 std::shared_ptr<const media::wm::Profile>& profile) {
    // The profile states the picture the file holds; the engine has already resolved
    // "Original size" and "Original frame rate" to the first clip's.
    int width = options_.outputWidth, height = options_.outputHeight;
    double frameRate = options_.frameRate;
    for (int g = 0; g < engine.outputCount(); ++g) {
        media::render::OutputInfo info;
        if (engine.outputInfo(g, info) && info.kind == media::MediaKind::Video) {
            width = info.video.width;
            height = info.video.height;
            if (info.fps > 0.0) frameRate = info.fps;
            break;
        }
    }
    const AudioStreamParams audio = joinAudioParams(static_cast<std::uint32_t>(options_.audioBitrate));
    const VideoStreamParams video = joinVideoParams(
        width, height, frameRate, static_cast<std::uint32_t>(options_.videoBitrate));
    std::unique_ptr<Profile> generated;
    if (media::Status s = GenerateProfile(&audio, nullptr, 1, &video, &generated, WMT_VER_9_0); !s) {
        diagnostic("Failed to GenerateProfile Audio video with script!  hr=0x%x\n", s);
        return s;
    }
    if (options_.fileProfile == 1) {
        std::unique_ptr<Profile> mapped;
        if (media::Status s = MapProfile("test2", &mapped); !s) {
            diagnostic("Failed to map profile ID!  hr=0x%x\n", s);
            return s;
        }
        profile = std::move(mapped);
    } else {
        profile = std::move(generated);
    }
    // The profile names the codecs; no compressor goes before the Windows Media writer.
    options_.useVideoCompressor = 0;
    options_.useAudioCompressor = 0;
    return media::Status::ok();
}

template <typename StreamParams>
media::Status OutputRenderer::insertCompressor(const media::ContainerInfo& container,
                                               const media::codecs::CompressorRef& compressor,
                                               const char* kind, const StreamParams& params,
                                               media::av::CodecPtr& encoder) {
    if (!compressor) {
        media::Status s = media::Status::fail(std::string("The ") + kind +
                                              " compressor chosen in the Options dialog is not installed. "
                                              "Choose another one.");
        showErrorText(owner_, s);
        return s;
    }
    media::Status s = checkCarried(container, compressor->codec());
    if (s) {
        s = compressorFits(*compressor, trialOutput(static_cast<int>(container.format), params));
        if (!s) {
            ui::showPlainMessage(owner_, QString::fromStdString(s.text()));
            return s;
        }
    }
    if (s) s = compressor->openEncoder(params, encoder);
    if (!s) {
        message(owner_, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )");
        showErrorText(owner_, s);
    }
    return s;
}

media::Status OutputRenderer::insertCompressors(OutputRun& run, media::WriterSettings& settings) {
    const media::ContainerInfo& container = *media::containerForCode(options_.outputFormat);
    media::FileOutput& output = *run.output_;
    if (output.videoGroup() < 0) {
        message(owner_, "Could not GetGroupOutputPin( g, &pPin )");
        return media::Status::invalidArg("The timeline has no video group.");
    }
    // An Ogg file is written with the codecs it is known for, whatever the compressors.
    if (container.windowsMedia || container.format == media::OutputFormat::Ogm) return media::Status::ok();
    const bool globalHeader = media::containerWantsGlobalHeader(container);

    if (options_.useVideoCompressor == 1) {
        media::codecs::VideoStreamParams params;
        params.width = settings.video->width;
        params.height = settings.video->height;
        params.frameRate = settings.video->frameRate;
        params.globalHeader = globalHeader;
        if (media::Status s = insertCompressor(container, compressors_.video, "video", params,
                                               settings.videoEncoder.context);
            !s)
            return s;
    }
    if (output.audioGroup() >= 0 && options_.useAudioCompressor == 1) {
        media::codecs::AudioStreamParams params;
        params.sampleRate = settings.audio->sampleRate;
        params.channels = settings.audio->channels;
        params.globalHeader = globalHeader;
        if (media::Status s = insertCompressor(container, compressors_.audio, "audio", params,
                                               settings.audioEncoder.context);
            !s)
            return s;
    }
    return media::Status::ok();
}

void OutputRenderer::showFilterProperties(OutputRun& run) {
    media::FileOutput& output = *run.output_;
    media::WriterSettings& settings = output.settings();
    std::vector<GraphFilter> filters;
    filters.push_back({QStringLiteral("Clipfuse Render Engine"), true, {}});
    bool videoConfigured = false;
    if (settings.videoEncoder.context && compressors_.video) {
        const QString name = QString::fromStdString(compressors_.video->device().friendlyName);
        filters.push_back({QStringLiteral("VideoCompressor"), true,
                           [name, &videoConfigured](QWidget* owner, const QString&) {
                               videoConfigured = true;
                               if (media::Status s = ConfigureVideoCompressor(owner, name); !s)
                                   showErrorText(owner, s);
                           }});
    }
    if (settings.audioEncoder.context) filters.push_back({QStringLiteral("AudioCompressor"), true, {}});
    filters.push_back(mp4WriterFilter(mp4Options_));
    filters.push_back({QString::fromStdString(settings.path), true, {}});

    ListedOutputGraph graph(std::move(filters));
    CDialogFilterPerproty dialog(graph, owner_);
    if (filterDialogRunner())
        filterDialogRunner()(dialog);
    else
        dialog.exec();

    settings.muxerOptions = media::mp4MuxerOptions(mp4Options_);
    // A configuration accepted just now is the one this file is written with.
    if (videoConfigured) {
        settings.videoEncoder.context.reset();
        insertCompressors(run, settings);
    }
}

}  // namespace timeline
