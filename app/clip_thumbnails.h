// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small first picture beside each clip's name in the list. Pictures are decoded on a
// media worker of their own, never on the window's thread, each within a time limit, and
// kept per file for the run; a clip whose picture cannot be read simply shows none. A
// picture keeps the clip's shape as it is shown (its display aspect and its rotation),
// centred in the cell, never stretched to it.
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QSet>
#include <chrono>
#include <memory>

class MediaWorker;

class ClipThumbnails : public QObject {
    Q_OBJECT
public:
    explicit ClipThumbnails(QObject* parent = nullptr);
    // Gives up a decode under way, waiting for it only briefly.
    ~ClipThumbnails() override;

    // The picture of `path` when it is ready; otherwise an empty icon, and the decode is
    // started (once per path): ready(path) follows when it has a picture.
    QIcon icon(const QString& path);
    // The picture itself, kWidth x kHeight with the clip's shape centred on a transparent
    // ground; null until ready.
    QImage picture(const QString& path) const { return pictures_.value(path); }

    // True while a decode runs or waits (tests).
    bool busy() const;

    static constexpr int kWidth = 48;
    static constexpr int kHeight = 27;
    // How long one clip's picture may take.
    static constexpr std::chrono::milliseconds kLimit{10'000};

signals:
    void ready(const QString& path);

private:
    void store(const QString& path, const QImage& picture);

    QHash<QString, QIcon> icons_;
    QHash<QString, QImage> pictures_;
    QSet<QString> started_;
    std::unique_ptr<MediaWorker> worker_;  // last: it goes first
};

// The first picture of the clip at `path` as the list shows it (see ClipThumbnails); null
// when the clip has no picture that can be read within the time limit. Runs on the caller's
// thread.
QImage readClipThumbnail(const QString& path);
