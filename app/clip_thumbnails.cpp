// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_thumbnails.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "app/media_worker.h"
#include "media/core/input_file.h"
#include "media/probe/first_frame.h"
#include "media/probe/probe_clip.h"

namespace {

// The size, within the cell, of a picture `aspect` wide for each unit of height.
QSize fittedSize(double aspect) {
    const int w = ClipThumbnails::kWidth, h = ClipThumbnails::kHeight;
    if (!(aspect > 0) || !std::isfinite(aspect)) return {w, h};
    if (aspect >= double(w) / h) return {w, std::max(1, int(std::lround(w / aspect)))};
    return {std::max(1, int(std::lround(h * aspect))), h};
}

}  // namespace

QImage readClipThumbnail(const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    // A picture is not worth waiting for until a stalled file is named: the next clip's waits.
    const media::ReadCancel giveUp(ClipThumbnails::kLimit);
    media::InputLimits limits;
    limits.openTimeout = ClipThumbnails::kLimit;
    const media::ClipInfo info = media::probeClip(file, limits);
    if (!info.ok() || !info.video) return {};
    const int rotation = ((info.video->rotationDegrees % 360) + 360) % 360;
    const bool sideways = rotation == 90 || rotation == 270;
    const double aspect = info.video->displayAspect();
    const QSize shown = fittedSize(sideways && aspect > 0 ? 1.0 / aspect : aspect);
    // Decoded as stored, then turned upright.
    const QSize stored = sideways ? shown.transposed() : shown;
    media::Frame frame;
    if (!media::readFirstFrame(file, stored.width(), stored.height(), frame, limits)) return {};
    const std::vector<std::uint8_t> rgb = frame.toRgb24();
    QImage picture =
        QImage(rgb.data(), frame.width(), frame.height(), frame.width() * 3, QImage::Format_RGB888)
            .copy();
    if (rotation != 0) {
        picture = picture.transformed(QTransform().rotate(rotation), Qt::SmoothTransformation);
        if (picture.width() > ClipThumbnails::kWidth || picture.height() > ClipThumbnails::kHeight)
            picture = picture.scaled(ClipThumbnails::kWidth, ClipThumbnails::kHeight,
                                     Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QImage cell(ClipThumbnails::kWidth, ClipThumbnails::kHeight,
                QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter painter(&cell);
    painter.drawImage((cell.width() - picture.width()) / 2, (cell.height() - picture.height()) / 2,
                      picture);
    painter.end();
    return cell;
}

ClipThumbnails::ClipThumbnails(QObject* parent)
    : QObject(parent), worker_(std::make_unique<MediaWorker>()) {}

ClipThumbnails::~ClipThumbnails() {
    worker_.reset();
}

bool ClipThumbnails::busy() const {
    return worker_->busy();
}

QIcon ClipThumbnails::icon(const QString& path) {
    if (auto it = icons_.constFind(path); it != icons_.constEnd()) return *it;
    if (!started_.contains(path)) {
        started_.insert(path);
        // One decode at a time: adding a thousand clips must not take the machine from the user.
        worker_->post([this, path](const MediaWorker::Context& context) {
            const QImage picture = readClipThumbnail(path);
            if (picture.isNull()) return;
            context.deliver([this, path, picture] { store(path, picture); });
        });
    }
    return {};
}

void ClipThumbnails::store(const QString& path, const QImage& picture) {
    pictures_.insert(path, picture);
    icons_.insert(path, QIcon(QPixmap::fromImage(picture)));
    emit ready(path);
}
