// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/mp4_writer_page.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "output/property_frame.h"

Mp4WriterPage::Mp4WriterPage(const media::Mp4Options& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("MP4 Writer"));
    auto* layout = new QVBoxLayout(this);

    fastStart_ = new QCheckBox(QStringLiteral("&Fast start: put the index at the front of the file"), this);
    fastStart_->setObjectName(QStringLiteral("fastStart"));
    fastStart_->setChecked(current.fastStart);
    layout->addWidget(fastStart_);
    auto* fastNote = new QLabel(
        QStringLiteral("Players and browsers can start playing before the whole file is read. "
                       "Finishing the file takes a little longer."),
        this);
    fastNote->setWordWrap(true);
    layout->addWidget(fastNote);

    fragmented_ = new QCheckBox(QStringLiteral("F&ragmented: write the file in pieces"), this);
    fragmented_->setObjectName(QStringLiteral("fragmented"));
    fragmented_->setChecked(current.fragmented);
    layout->addWidget(fragmented_);
    auto* fragNote = new QLabel(
        QStringLiteral("Each piece starts at a key frame and plays on its own. Some older "
                       "players do not read such files."),
        this);
    fragNote->setWordWrap(true);
    layout->addWidget(fragNote);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(fragmented_, &QCheckBox::toggled, this, &Mp4WriterPage::updateEnabled);
    updateEnabled();
}

void Mp4WriterPage::updateEnabled() {
    // A fragmented file has its index at the front anyway.
    fastStart_->setEnabled(!fragmented_->isChecked());
}

media::Mp4Options Mp4WriterPage::options() const {
    return {.fastStart = fastStart_->isChecked(), .fragmented = fragmented_->isChecked()};
}

bool editMp4WriterOptions(QWidget* owner, const QString& caption, media::Mp4Options& options,
                          const Mp4PageRunner& run) {
    Mp4WriterPage page(options, owner);
    preparePropertyFrame(page, owner, caption);
    const int result = run ? run(page) : page.exec();
    if (result != QDialog::Accepted) return false;
    options = page.options();
    return true;
}

GraphFilter mp4WriterFilter(media::Mp4Options& options, const Mp4PageRunner& run) {
    GraphFilter f;
    f.name = QStringLiteral("MP4 Writer");
    f.showPages = [&options, run](QWidget* owner, const QString& caption) {
        editMp4WriterOptions(owner, caption, options, run);
    };
    return f;
}
