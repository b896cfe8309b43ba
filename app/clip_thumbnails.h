#pragma once
// The small first picture beside each clip's name in the list. Pictures are decoded on a
// worker thread of their own, never on the window's, and kept per file for the run; a
// clip whose picture cannot be read simply shows none.
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QThreadPool>

class ClipThumbnails : public QObject {
    Q_OBJECT
public:
    explicit ClipThumbnails(QObject* parent = nullptr);
    // Waits for a decode under way: it is bounded, and it must not outlive this object.
    ~ClipThumbnails() override;

    // The picture of `path` when it is ready; otherwise an empty icon, and the decode is
    // started (once per path): ready(path) follows when it has a picture.
    QIcon icon(const QString& path);

    // Waits for every decode started so far (tests).
    void waitForDone() { pool_.waitForDone(); }

    static constexpr int kWidth = 48;
    static constexpr int kHeight = 27;

signals:
    void ready(const QString& path);

private:
    void store(const QString& path, const QImage& picture);

    QThreadPool pool_;
    QHash<QString, QIcon> icons_;
    QSet<QString> started_;
};
