// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/written_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "media/core/ffmpeg_ptr.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace writertest {

media::WriterSettings settingsFor(const std::string& path, int formatCode, const Feed& feed) {
    media::WriterSettings s;
    s.path = path;
    s.formatCode = formatCode;
    s.video = media::VideoStreamSpec{feed.width, feed.height, feed.rate, {0, 1}};
    if (feed.audio) s.audio = media::AudioStreamSpec{44100, 2};
    return s;
}

media::Status writeFeed(media::MediaWriter& writer, const Feed& feed, bool finish) {
    media::Frame frame(feed.width, feed.height);
    frame.fillRgb(feed.top[0], feed.top[1], feed.top[2]);
    auto lower = media::rgbToYuv(feed.bottom[0], feed.bottom[1], feed.bottom[2]);
    for (int y = feed.height / 2; y < feed.height; ++y) {
        std::fill_n(frame.row(0, y), feed.width, lower[0]);
        if (y % 2 == 0) {
            std::fill_n(frame.row(1, y / 2), frame.planeWidth(1), lower[1]);
            std::fill_n(frame.row(2, y / 2), frame.planeWidth(2), lower[2]);
        }
    }
    long written = 0;
    for (int i = 0; i < feed.frames; ++i) {
        // A small square moves along the top edge, so that no codec can drop pictures as
        // repeats; the colours are read away from it.
        media::Frame moving = media::deepCopy(frame);
        const int side = std::min(8, feed.height / 8 * 2);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side && (i * 2 + x) < feed.width; ++x)
                moving.row(0, y)[i * 2 + x] = 235;
        moving.pts = av_rescale_q(i, av_inv_q(feed.rate), AVRational{1, 10'000'000});
        if (media::Status st = writer.writeVideo(moving); !st) return st;
        if (feed.audio) {
            long until = av_rescale_q(i + 1, av_inv_q(feed.rate), AVRational{1, 44100});
            int n = static_cast<int>(until - written);
            std::vector<float> left(n), right(n);
            for (int k = 0; k < n; ++k)
                left[k] = right[k] =
                    0.5f *
                    static_cast<float>(std::sin(2 * M_PI * feed.toneHz * (written + k) / 44100.0));
            const float* planes[2] = {left.data(), right.data()};
            if (media::Status st = writer.writeAudio(planes, n); !st) return st;
            written = until;
        }
    }
    return finish ? writer.finish() : media::Status::ok();
}

bool readBack(const std::string& path, ReadBack& out, std::string* error) {
    auto failWith = [error](const std::string& e) {
        if (error) *error = e;
        return false;
    };
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return failWith("cannot open " + path);
    media::av::InputPtr in(raw);
    if (avformat_find_stream_info(in.get(), nullptr) < 0) return failWith("no stream info");
    out.container = in->iformat->name;
    if (in->duration > 0) out.durationSeconds = in->duration / double(AV_TIME_BASE);

    int vi = av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int ai = av_find_best_stream(in.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    media::av::CodecPtr vdec, adec;
    auto openDecoder = [&](int index, media::av::CodecPtr& dec) {
        const AVCodecParameters* par = in->streams[index]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec) return false;
        dec.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(dec.get(), par);
        return avcodec_open2(dec.get(), codec, nullptr) >= 0;
    };
    if (vi >= 0) {
        const AVStream* st = in->streams[vi];
        out.videoCodec = avcodec_get_name(st->codecpar->codec_id);
        char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
        av_fourcc_make_string(tag, st->codecpar->codec_tag);
        out.videoTag = tag;
        out.width = st->codecpar->width;
        out.height = st->codecpar->height;
        if (st->duration > 0) out.videoSeconds = st->duration * av_q2d(st->time_base);
        AVRational r = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
        if (r.num && r.den) out.frameRate = av_q2d(r);
        if (!openDecoder(vi, vdec)) return failWith("no video decoder");
    }
    if (ai >= 0) {
        const AVStream* st = in->streams[ai];
        out.audioCodec = avcodec_get_name(st->codecpar->codec_id);
        out.audioRate = st->codecpar->sample_rate;
        out.audioChannels = st->codecpar->ch_layout.nb_channels;
        out.audioBitrate = st->codecpar->bit_rate;
        if (!openDecoder(ai, adec)) return failWith("no audio decoder");
    }

    auto packet = media::av::makePacket();
    auto frame = media::av::makeFrame();
    long crossings = 0;
    float previous = 0;
    out.colours.assign(out.colourTimes.size(), {-1, -1, -1});
    auto centreColour = [](const AVFrame& f) {
        media::av::SwsPtr sws(sws_getContext(f.width, f.height, static_cast<AVPixelFormat>(f.format),
                                             f.width, f.height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr,
                                             nullptr, nullptr));
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(f.width) * f.height * 3);
        std::uint8_t* dst[1] = {rgb.data()};
        int stride[1] = {f.width * 3};
        sws_scale(sws.get(), f.data, f.linesize, 0, f.height, dst, stride);
        const std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(f.height / 2) * f.width + f.width / 2) * 3;
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    double previousShown = -1;
    auto takeVideo = [&](AVFrame& f) {
        if (vi >= 0 && (!out.colourTimes.empty() || out.keepPictures)) {
            const double shown = f.best_effort_timestamp == AV_NOPTS_VALUE
                                     ? previousShown + 1e-6
                                     : f.best_effort_timestamp * av_q2d(in->streams[vi]->time_base);
            // The picture shown at t is the last one that starts at or before t; an encoder
            // may leave out repeated pictures, so one need not start exactly at t.
            std::array<int, 3> colour{-1, -1, -1};
            if (out.keepPictures) {
                colour = centreColour(f);
                out.pictures.push_back({shown, colour});
            }
            for (std::size_t k = 0; k < out.colourTimes.size(); ++k) {
                if (shown > out.colourTimes[k] + 1e-6) continue;
                if (colour[0] < 0) colour = centreColour(f);
                out.colours[k] = colour;
            }
            previousShown = shown;
        }
        if (out.framesDecoded++ == 0) {
            std::vector<std::uint8_t> rgb(static_cast<std::size_t>(f.width) * f.height * 3);
            media::av::SwsPtr sws(
                sws_getContext(f.width, f.height, static_cast<AVPixelFormat>(f.format), f.width,
                               f.height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr));
            std::uint8_t* dst[1] = {rgb.data()};
            int stride[1] = {f.width * 3};
            sws_scale(sws.get(), f.data, f.linesize, 0, f.height, dst, stride);
            for (int half = 0; half < 2; ++half) {
                int y = half ? f.height * 3 / 4 : f.height / 4;
                const std::uint8_t* p =
                    rgb.data() + (static_cast<std::size_t>(y) * f.width + f.width / 2) * 3;
                (half ? out.bottomColour : out.topColour) = {p[0], p[1], p[2]};
            }
        }
    };
    auto takeAudio = [&](AVFrame& f) {
        if (out.audioSamples == 0 && f.best_effort_timestamp != AV_NOPTS_VALUE)
            out.soundStart = f.best_effort_timestamp * av_q2d(in->streams[ai]->time_base);
        out.audioSamples += f.nb_samples;
        for (int k = 0; k < f.nb_samples; ++k) {
            float v = 0;
            switch (f.format) {
                case AV_SAMPLE_FMT_FLTP:
                    v = reinterpret_cast<const float*>(f.extended_data[0])[k];
                    break;
                case AV_SAMPLE_FMT_FLT:
                    v = reinterpret_cast<const float*>(
                        f.extended_data[0])[k * f.ch_layout.nb_channels];
                    break;
                case AV_SAMPLE_FMT_S16:
                    v = reinterpret_cast<const std::int16_t*>(
                            f.extended_data[0])[k * f.ch_layout.nb_channels] /
                        32768.f;
                    break;
                case AV_SAMPLE_FMT_S16P:
                    v = reinterpret_cast<const std::int16_t*>(f.extended_data[0])[k] / 32768.f;
                    break;
                default:
                    break;
            }
            if (out.keepSound) out.sound.push_back(v);
            if ((previous < 0) != (v < 0)) ++crossings;
            previous = v;
        }
    };
    auto pump = [&](AVCodecContext* dec, bool video) {
        while (avcodec_receive_frame(dec, frame.get()) >= 0) {
            video ? takeVideo(*frame) : takeAudio(*frame);
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(in.get(), packet.get()) >= 0) {
        if (packet->stream_index == vi && vdec) {
            if (avcodec_send_packet(vdec.get(), packet.get()) >= 0) pump(vdec.get(), true);
        } else if (packet->stream_index == ai && adec) {
            if (avcodec_send_packet(adec.get(), packet.get()) >= 0) pump(adec.get(), false);
        }
        av_packet_unref(packet.get());
    }
    if (vdec) avcodec_send_packet(vdec.get(), nullptr), pump(vdec.get(), true);
    if (adec) avcodec_send_packet(adec.get(), nullptr), pump(adec.get(), false);
    if (out.audioSamples > 0 && out.audioRate > 0)
        out.toneHz = crossings / 2.0 / (static_cast<double>(out.audioSamples) / out.audioRate);
    return true;
}

bool nearColour(const std::array<int, 3>& got, const std::array<std::uint8_t, 3>& want,
                int tolerance) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - want[i]) > tolerance) return false;
    return true;
}

int partialFilesIn(const std::string& dir) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().filename().string().find(".partial-") != std::string::npos) ++n;
    return n;
}

}  // namespace writertest
