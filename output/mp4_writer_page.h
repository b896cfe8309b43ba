// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The MP4 writer's settings page: how the file is laid out (index at the front for
// playing while downloading, or self-contained pieces). Controls carry the object names
// "fastStart" and "fragmented".
#include <QDialog>
#include <functional>

#include "media/writers/mp4_options.h"
#include "output/output_graph.h"

class QCheckBox;

class Mp4WriterPage : public QDialog {
    Q_OBJECT
public:
    explicit Mp4WriterPage(const media::Mp4Options& current, QWidget* parent = nullptr);

    // What the controls show now.
    media::Mp4Options options() const;

private:
    void updateEnabled();

    QCheckBox* fastStart_ = nullptr;
    QCheckBox* fragmented_ = nullptr;
};

// Runs the page and returns its QDialog result; the program runs it modally (exec), tests
// drive it from code.
using Mp4PageRunner = std::function<int(Mp4WriterPage&)>;

// Shows the page owned by `owner` and captioned `caption`; `options` takes what the user
// accepted and stays as it was on Cancel. True when accepted.
bool editMp4WriterOptions(QWidget* owner, const QString& caption, media::Mp4Options& options,
                          const Mp4PageRunner& run = {});

// The MP4 writer as a component of the output graph, its pages editing `options`, which
// must outlive every use of the returned entry.
GraphFilter mp4WriterFilter(media::Mp4Options& options, const Mp4PageRunner& run = {});
