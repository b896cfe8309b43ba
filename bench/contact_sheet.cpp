// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every transition of the catalogue at a quarter, half and three quarters of its
// course, one row per transition, and writes the sheet as one PNG for the help pages:
//   bench_contact_sheet docs/help/transitions.png [first last]
// Each row starts with the transition's index. Beside the PNG it writes the help page that
// shows each row with the transition's name (transitions.html for transitions.png).
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "media/core/ffmpeg_ptr.h"
#include "media/effects/effect.h"
#include "support/media/test_pictures.h"
#include "timeline/transition_catalogue.h"

namespace {

constexpr int kThumbW = 96, kThumbH = 64;
constexpr int kLabelW = 28, kGap = 4;
constexpr int kRowH = kThumbH + kGap;
constexpr std::array<double, 3> kMoments{0.25, 0.5, 0.75};
constexpr int kSheetW = kLabelW + static_cast<int>(kMoments.size()) * (kThumbW + kGap);

struct Image {
    int width, height;
    std::vector<std::uint8_t> rgb;
    Image(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 40) {}
    std::uint8_t* at(int x, int y) {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// Digits 0-9 in a 3x5 pixel font, one row of three bits per line, top line first.
constexpr std::array<std::array<std::uint8_t, 5>, 10> kDigits{{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 2, 2},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};

void drawNumber(Image& img, int number, int left, int top, int scale) {
    const std::string text = std::to_string(number);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto& glyph = kDigits[static_cast<std::size_t>(text[i] - '0')];
        const int x0 = left + static_cast<int>(i) * 4 * scale;
        for (int gy = 0; gy < 5; ++gy)
            for (int gx = 0; gx < 3; ++gx) {
                if (!(glyph[static_cast<std::size_t>(gy)] >> (2 - gx) & 1)) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        std::uint8_t* p = img.at(x0 + gx * scale + dx, top + gy * scale + dy);
                        p[0] = p[1] = p[2] = 235;
                    }
            }
    }
}

void paste(Image& img, const media::Frame& f, int left, int top) {
    const std::vector<std::uint8_t> rgb = f.toRgb24();
    for (int y = 0; y < f.height(); ++y)
        std::copy_n(rgb.data() + static_cast<std::size_t>(y) * f.width() * 3, f.width() * 3,
                    img.at(left, top + y));
}

bool writePng(const Image& img, const std::string& path) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (!codec) return std::fprintf(stderr, "This FFmpeg has no PNG encoder.\n"), false;
    media::av::CodecPtr ctx(avcodec_alloc_context3(codec));
    media::av::FramePtr frame = media::av::makeFrame();
    media::av::PacketPtr packet = media::av::makePacket();
    if (!ctx || !frame || !packet) return false;
    ctx->width = img.width;
    ctx->height = img.height;
    ctx->pix_fmt = AV_PIX_FMT_RGB24;
    ctx->time_base = {1, 1};
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) return false;
    frame->format = AV_PIX_FMT_RGB24;
    frame->width = img.width;
    frame->height = img.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
    for (int y = 0; y < img.height; ++y)
        std::copy_n(img.rgb.data() + static_cast<std::size_t>(y) * img.width * 3, img.width * 3,
                    frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0]);
    if (avcodec_send_frame(ctx.get(), frame.get()) < 0 ||
        avcodec_send_frame(ctx.get(), nullptr) < 0)
        return false;
    if (avcodec_receive_packet(ctx.get(), packet.get()) < 0) return false;

    // Written under a temporary name first, so a failed run never leaves half a picture.
    const std::string temp = path + ".part";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) return std::fprintf(stderr, "Cannot write %s.\n", temp.c_str()), false;
    const bool written = std::fwrite(packet->data, 1, static_cast<std::size_t>(packet->size),
                                     file) == static_cast<std::size_t>(packet->size);
    if (std::fclose(file) != 0 || !written) return std::remove(temp.c_str()), false;
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

// What the transforms do, for the help page; the wipes' names say it themselves.
constexpr std::array<std::string_view, 17> kTransformLooks{
    "",
    "A plus sign opens from the centre until its arms fill the corners.",
    "A clock hand sweeps once round from twelve o'clock.",
    "The pictures dissolve into each other.",
    "Boxes fill row by row, left to right and back again.",
    "Thin horizontal bars appear in a random order.",
    "Boxes fill in a spiral from the top-left corner to the middle.",
    "The picture breaks into blocks that grow, changes, and sharpens again.",
    "Four spokes turn clockwise round the centre.",
    "A staircase of strips moves from the top right to the bottom left.",
    "A rectangle grows from the top-left corner.",
    "Ten blinds close from the top of each slat.",
    "A soft edge moves from left to right.",
    "Squares fill in two phases; half-way the picture is a checkerboard.",
    "The new clip slides in from the left over the old one.",
    "The new clip opens out from a line down the middle.",
    "Pixels change at random.",
};

std::string escapeHtml(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

bool writeHelpPage(const std::string& path, const std::string& pngName, int first, int last) {
    using timeline::TransitionCatalogue;
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Transitions</title>\n<style>\n"
        "body { font-family: sans-serif; margin: 2em; }\n"
        "table { border-collapse: collapse; }\n"
        "td, th { padding: 4px 10px; text-align: left; vertical-align: middle; }\n"
        "tr:nth-child(even) { background: #f2f2f2; }\n"
        ".look { width: " +
        std::to_string(kSheetW) + "px; height: " + std::to_string(kRowH) +
        "px; background-image: url(\"" + pngName +
        "\"); background-repeat: no-repeat; }\n"
        "</style>\n</head>\n<body>\n<h1>Transitions</h1>\n"
        "<p>Each clip can lead in with one of these transitions. The pictures show each one at a "
        "quarter, half and three quarters of its time, going from the previous clip (blue) to the "
        "clip (orange). Choose <b>None</b> for a straight cut.</p>\n"
        "<table>\n<tr><th>No.</th><th>Name</th><th>How it looks</th></tr>\n";
    for (int index = first; index <= last; ++index) {
        const auto menu = TransitionCatalogue::menuName(index),
                   list = TransitionCatalogue::listName(index);
        std::string name = escapeHtml(list);
        if (menu != list)
            name += "<br><small>in the list of transitions: " + escapeHtml(menu) + "</small>";
        if (index < static_cast<int>(kTransformLooks.size()) &&
            !kTransformLooks[static_cast<std::size_t>(index)].empty())
            name += "<br><small>" + escapeHtml(kTransformLooks[static_cast<std::size_t>(index)]) +
                    "</small>";
        html += "<tr><td>" + std::to_string(index) + "</td><td>" + name +
                "</td><td><div class=\"look\" role=\"img\" aria-label=\"" + escapeHtml(list) +
                "\" style=\"background-position: 0 -" + std::to_string((index - first) * kRowH) +
                "px\"></div></td></tr>\n";
    }
    html += "</table>\n</body>\n</html>\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(html.data(), 1, html.size(), file) == html.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    using timeline::TransitionCatalogue;
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s out.png [first last]\n", argv[0]);
        return 2;
    }
    const int first = argc == 4 ? std::atoi(argv[2]) : 1;
    const int last = argc == 4 ? std::atoi(argv[3]) : TransitionCatalogue::kCount - 1;
    if (first < 0 || last >= TransitionCatalogue::kCount || first > last) {
        std::fprintf(stderr, "The transitions are numbered 0 to %d.\n",
                     TransitionCatalogue::kCount - 1);
        return 2;
    }

    const media::Frame a = testmedia::pictureA(kThumbW, kThumbH);
    const media::Frame b = testmedia::pictureB(kThumbW, kThumbH);
    Image sheet(kSheetW, (last - first + 1) * kRowH);
    for (int index = first; index <= last; ++index) {
        const int top = (index - first) * kRowH + kGap / 2;
        drawNumber(sheet, index, 3, top + kThumbH / 2 - 5, 2);
        media::EffectParams params{std::string(TransitionCatalogue::effectClass(index)),
                                   TransitionCatalogue::maskNum(index), 1};
        auto effect = media::createEffect(params);
        for (std::size_t m = 0; m < kMoments.size(); ++m) {
            media::Frame out(kThumbW, kThumbH);
            if (effect) {
                effect->render(a, b, kMoments[m], out);
            } else {
                out = kMoments[m] < 0.5 ? a : b;  // "None" cuts straight from A to B
            }
            paste(sheet, out, kLabelW + static_cast<int>(m) * (kThumbW + kGap), top);
        }
    }
    if (!writePng(sheet, argv[1])) {
        std::fprintf(stderr, "Could not write %s.\n", argv[1]);
        return 1;
    }
    std::printf("%s: %d transitions, %d x %d pixels\n", argv[1], last - first + 1, sheet.width,
                sheet.height);

    std::filesystem::path page(argv[1]);
    const std::string pngName = page.filename().string();
    page.replace_extension(".html");
    if (!writeHelpPage(page.string(), pngName, first, last)) {
        std::fprintf(stderr, "Could not write %s.\n", page.c_str());
        return 1;
    }
    std::printf("%s\n", page.c_str());
    return 0;
}
