// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/join_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "app/program_options.h"
#include "app/transition_names.h"
#include "output/output_extension.h"

namespace cli {
namespace {

constexpr int kEffectCount = 47;

std::optional<int> wholeNumber(const QString& text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

// A size as "WxH", or "original" for the clips' own.
bool parseSize(const QString& text, JoinRequest& r) {
    if (text.compare(QStringLiteral("original"), Qt::CaseInsensitive) == 0) {
        r.width = r.height = 0;
        return true;
    }
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2) return false;
    r.width = wholeNumber(parts[0], 1, 8192);
    r.height = wholeNumber(parts[1], 1, 8192);
    return r.width && r.height;
}

// A rate in frames per second, or "original" for the first clip's.
bool parseRate(const QString& text, JoinRequest& r) {
    if (text.compare(QStringLiteral("original"), Qt::CaseInsensitive) == 0) {
        r.originalFrameRate = true;
        return true;
    }
    bool ok = false;
    const double rate = text.toDouble(&ok);
    if (!ok || !(rate > 0.0) || rate > 1000.0) return false;
    r.frameRate = rate;
    return true;
}

// An effect by number or by the name the lists show.
std::optional<int> parseEffect(const QString& text) {
    if (auto number = wholeNumber(text, 0, kEffectCount - 1)) return number;
    for (int i = 0; i < kEffectCount; ++i)
        if (transitionListName(i).compare(text, Qt::CaseInsensitive) == 0 ||
            transitionMenuName(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

std::optional<TransitionMode> parseMode(const QString& text) {
    const QString t = text.toLower();
    if (t == QLatin1String("random")) return TransitionMode::Random;
    if (t == QLatin1String("sequence")) return TransitionMode::Sequence;
    if (t == QLatin1String("same")) return TransitionMode::Same;
    return std::nullopt;
}

QString effectList() {
    QStringList names;
    for (int i = 0; i < kEffectCount; ++i) names << QStringLiteral("%1 %2").arg(i).arg(transitionListName(i));
    return names.join(QStringLiteral(", "));
}

}  // namespace

std::optional<int> formatCode(const QString& name) {
    QString n = name.toLower();
    if (n.startsWith(QLatin1Char('.'))) n.remove(0, 1);
    if (n == QLatin1String("matroska")) return output::kMkv;
    if (n == QLatin1String("ogg") || n == QLatin1String("ogv")) return output::kOgm;
    for (int code = output::kAvi; code <= output::kOgm; ++code)
        if (output::outputFormatExtension(code) == QLatin1Char('.') + n) return code;
    return std::nullopt;
}

ParsedArguments parseJoinArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Joins video clips, in the order given, into one video file, with the settings Clipfuse "
        "keeps unless an option below overrides them for this join."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The file to write."));
    parser.addPositionalArgument(QStringLiteral("CLIP"), QStringLiteral("The clips, in order (one or more)."),
                                 QStringLiteral("CLIP..."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    // No -v: that is --verbose.
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the version."));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("avi, wmv, mkv, asf, mp4, dsm or ogm. Without it the output's extension chooses, "
                       "or the stored format when the extension is none of these."),
        QStringLiteral("name"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Frame size as WIDTHxHEIGHT, or \"original\" for the clips' own."),
                                  QStringLiteral("WxH"));
    const QCommandLineOption rate(
        QStringLiteral("fps"),
        QStringLiteral("Frame rate, e.g. 25 or 29.97, or \"original\" for the first clip's."),
        QStringLiteral("rate"));
    const QCommandLineOption reencodeAll(
        QStringLiteral("reencode-all"),
        QStringLiteral("Encode every picture again. Without it, an MP4 or MKV file with the "
                       "libx264 compressor gets the clips' unchanged parts copied as they are."));
    const QCommandLineOption resize(
        QStringLiteral("resize"),
        QStringLiteral("keep: fit each clip into the frame keeping its aspect ratio; stretch: fill the frame."),
        QStringLiteral("mode"));
    const QCommandLineOption mode(QStringLiteral("transition-mode"),
                                  QStringLiteral("How clips get their transition: random, sequence or same."),
                                  QStringLiteral("mode"));
    const QCommandLineOption effect(
        QStringLiteral("effect"),
        QStringLiteral("The transition of every clip, by number or name (implies --transition-mode same): ") +
            effectList() + QLatin1Char('.'),
        QStringLiteral("effect"));
    const QCommandLineOption seconds(QStringLiteral("transition-seconds"),
                                     QStringLiteral("How long each transition lasts, 0 to %1.").arg(kMaxTransitionSeconds),
                                     QStringLiteral("seconds"));
    const QCommandLineOption videoCodec(
        QStringLiteral("video-codec"),
        QStringLiteral("Video compressor by encoder name (e.g. mpeg4, libx264) or list name; \"none\" for full "
                       "frames. Not used by WMV and ASF, which follow their profile."),
        QStringLiteral("name"));
    const QCommandLineOption audioCodec(
        QStringLiteral("audio-codec"),
        QStringLiteral("Audio compressor by encoder name (e.g. aac, libmp3lame) or list name; \"none\" for PCM."),
        QStringLiteral("name"));
    const QCommandLineOption videoBitrate(QStringLiteral("video-bitrate"),
                                          QStringLiteral("Video bitrate in bits per second (WMV and ASF profile, "
                                                         "and the video compressor)."),
                                          QStringLiteral("bps"));
    const QCommandLineOption audioBitrate(QStringLiteral("audio-bitrate"),
                                          QStringLiteral("Audio bitrate in bits per second (WMV and ASF profile, "
                                                         "and the audio compressor)."),
                                          QStringLiteral("bps"));
    const QCommandLineOption replace({QStringLiteral("y"), QStringLiteral("replace")},
                                     QStringLiteral("Replace the output file when it exists (otherwise the join is refused)."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("No progress line; messages are still printed."));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")},
                                     QStringLiteral("Also print the media library's own notes, warnings and errors."));
    parser.addOptions({help, version, format, size, rate, reencodeAll, resize, mode, effect,
                       seconds, videoCodec, audioCodec, videoBitrate, audioBitrate, replace, quiet,
                       verbose});

    ParsedArguments parsed;
    if (!parser.parse(arguments)) {
        parsed.text = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.helpWanted = true;
        parsed.text = parser.helpText();
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.helpWanted = true;
        parsed.text = QStringLiteral("clipfuse-join %1").arg(QLatin1String(programVersion()));
        return parsed;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2) {
        parsed.text = QStringLiteral("Give the output file and at least one clip.");
        return parsed;
    }

    JoinRequest r;
    r.output = positional.front();
    r.clips = positional.mid(1);
    r.replace = parser.isSet(replace);
    r.quiet = parser.isSet(quiet);
    r.verbose = parser.isSet(verbose);
    auto bad = [&](const QCommandLineOption& option, const QString& value) {
        parsed.text = QStringLiteral("Invalid value for --%1: \"%2\"").arg(option.names().constLast(), value);
        return parsed;
    };
    if (parser.isSet(format)) {
        r.format = formatCode(parser.value(format));
        if (!r.format) return bad(format, parser.value(format));
    } else {
        // The extension names the format, as the save dialog's filter does.
        r.format = formatCode(QFileInfo(r.output).suffix());
    }
    if (parser.isSet(size) && !parseSize(parser.value(size), r)) return bad(size, parser.value(size));
    if (parser.isSet(rate) && !parseRate(parser.value(rate), r))
        return bad(rate, parser.value(rate));
    r.reencodeAll = parser.isSet(reencodeAll);
    if (parser.isSet(resize)) {
        const QString v = parser.value(resize).toLower();
        if (v == QLatin1String("keep")) r.resizeMode = 2;
        else if (v == QLatin1String("stretch")) r.resizeMode = 0;
        else return bad(resize, parser.value(resize));
    }
    if (parser.isSet(mode) && !(r.transitionMode = parseMode(parser.value(mode)))) return bad(mode, parser.value(mode));
    if (parser.isSet(effect)) {
        if (!(r.effect = parseEffect(parser.value(effect)))) return bad(effect, parser.value(effect));
        if (r.transitionMode && *r.transitionMode != TransitionMode::Same) {
            parsed.text = QStringLiteral("--effect gives every clip the same transition; it cannot go with "
                                         "--transition-mode %1").arg(parser.value(mode));
            return parsed;
        }
        r.transitionMode = TransitionMode::Same;
    }
    if (parser.isSet(seconds) &&
        !(r.transitionSeconds = wholeNumber(parser.value(seconds), kMinTransitionSeconds, kMaxTransitionSeconds)))
        return bad(seconds, parser.value(seconds));
    if (parser.isSet(videoCodec)) r.videoCodec = parser.value(videoCodec);
    if (parser.isSet(audioCodec)) r.audioCodec = parser.value(audioCodec);
    if (parser.isSet(videoBitrate) &&
        !(r.videoBitrate = wholeNumber(parser.value(videoBitrate), 1000, 200'000'000)))
        return bad(videoBitrate, parser.value(videoBitrate));
    if (parser.isSet(audioBitrate) &&
        !(r.audioBitrate = wholeNumber(parser.value(audioBitrate), 1000, 2'000'000)))
        return bad(audioBitrate, parser.value(audioBitrate));
    parsed.request = std::move(r);
    return parsed;
}

}  // namespace cli
