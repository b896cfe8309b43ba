#include "app/clip_thumbnails.h"

#include <QImage>
#include <QPixmap>

#include "media/probe/first_frame.h"

ClipThumbnails::ClipThumbnails(QObject* parent) : QObject(parent) {
    // One decode at a time: adding a thousand clips must not take the machine from the user.
    pool_.setMaxThreadCount(1);
}

ClipThumbnails::~ClipThumbnails() {
    pool_.clear();
    pool_.waitForDone();
}

QIcon ClipThumbnails::icon(const QString& path) {
    if (auto it = icons_.constFind(path); it != icons_.constEnd()) return *it;
    if (!started_.contains(path)) {
        started_.insert(path);
        pool_.start([this, path] {
            media::Frame frame;
            if (!media::readFirstFrame(path.toStdString(), kWidth, kHeight, frame)) return;
            const std::vector<std::uint8_t> rgb = frame.toRgb24();
            const QImage picture = QImage(rgb.data(), frame.width(), frame.height(),
                                          frame.width() * 3, QImage::Format_RGB888)
                                       .copy();
            // Handed to the window's thread; this object outlives the task (see the destructor).
            QMetaObject::invokeMethod(
                this, [this, path, picture] { store(path, picture); }, Qt::QueuedConnection);
        });
    }
    return {};
}

void ClipThumbnails::store(const QString& path, const QImage& picture) {
    icons_.insert(path, QIcon(QPixmap::fromImage(picture)));
    emit ready(path);
}
