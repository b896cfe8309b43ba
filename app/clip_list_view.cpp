// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_list_view.h"

#include "app/clip_list.h"
#include "app/clip_thumbnails.h"
#include "app/transition_names.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int kColumnWidths[] = {144, 81, 160, 81};
constexpr int kColumnTitles[] = {138, 139, 140, 139};

QTableWidgetItem* centred(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

}  // namespace

ClipListView::ClipListView(QTableWidget* table, ClipList& clips)
    : table_(table), clips_(clips), thumbnails_(new ClipThumbnails(table)) {
    table_->setIconSize(QSize(ClipThumbnails::kWidth, ClipThumbnails::kHeight));
    QObject::connect(thumbnails_, &ClipThumbnails::ready, table_,
                     [this](const QString& path) { showThumbnail(path); });
}

ClipListView::~ClipListView() {
    // The table may live on; its pictures no longer reach this view.
    QObject::disconnect(thumbnails_, nullptr, table_, nullptr);
}

void ClipListView::showThumbnail(const QString& path) {
    const QIcon icon = thumbnails_->icon(path);
    for (int row = 0; row < clips_.count() && row < table_->rowCount(); ++row)
        if (QString::fromStdString(clips_.at(row).fileName.str()) == path)
            if (QTableWidgetItem* item = table_->item(row, 0)) item->setIcon(icon);
}

void ClipListView::setUpColumns() {
    table_->setColumnCount(4);
    for (int c = 0; c < 4; ++c) {
        auto* header = new QTableWidgetItem(StringText(kColumnTitles[c]));
        header->setTextAlignment(Qt::AlignCenter);
        table_->setHorizontalHeaderItem(c, header);
        table_->setColumnWidth(c, kColumnWidths[c]);
    }
}

QString ClipListView::fileCellText(const ClipList& clips, int index) {
    return QString::fromStdString(clipDisplayName(clips.at(index).fileName.view()));
}

QString ClipListView::durationCellText(long long ticks) {
    // Whole seconds, the fraction dropped.
    return QString::number(ticks / media::kTicksPerSecond);
}

void ClipListView::fillRow(int row) {
    const ClipItem& clip = clips_.at(row);
    QTableWidgetItem* name = centred(fileCellText(clips_, row));
    // A clip not measured yet, or whose file did not answer, is not opened again for a picture.
    if (clip.state == ClipState::Measured)
        name->setIcon(thumbnails_->icon(QString::fromStdString(clip.fileName.str())));
    table_->setItem(row, 0, name);
    // A kept clip's duration means nothing until it has been measured again.
    const QString duration = clip.state == ClipState::Measuring      ? QStringLiteral("...")
                             : clip.state == ClipState::NotAnswering ? QStringLiteral("no answer")
                                                                     : durationCellText(clip.duration);
    table_->setItem(row, 1, centred(duration));
    table_->setItem(row, 2, centred(transitionListName(clip.transitionIndex)));
    table_->setItem(row, 3, centred(durationCellText(clip.transitionDuration)));
}

void ClipListView::refresh() {
    table_->clearSelection();
    table_->setRowCount(0);
    table_->setRowCount(clips_.count());
    for (int row = 0; row < clips_.count(); ++row) fillRow(row);
}

void ClipListView::updateRow(int row) {
    if (row >= 0 && row < clips_.count() && row < table_->rowCount()) fillRow(row);
}

bool ClipListView::isRowSelected(int row) const {
    return table_->selectionModel()->isRowSelected(row, QModelIndex());
}

std::vector<int> ClipListView::selectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < table_->rowCount(); ++row)
        if (isRowSelected(row)) rows.push_back(row);
    return rows;
}

int ClipListView::firstSelectedRow() const {
    return nextSelectedRow(-1);
}

int ClipListView::nextSelectedRow(int after) const {
    for (int row = after + 1; row < table_->rowCount(); ++row)
        if (isRowSelected(row)) return row;
    return -1;
}

int ClipListView::previousSelectedRow(int before) const {
    for (int row = std::min(before, table_->rowCount()) - 1; row >= 0; --row)
        if (isRowSelected(row)) return row;
    return -1;
}

bool ClipListView::requireSelection(int minimumClips) {
    if (clips_.count() < minimumClips) return false;
    if (firstSelectedRow() >= 0) return true;
    ui::showMessage(table_->window(), StringText(144), QString());
    return false;
}

void ClipListView::deleteSelected() {
    if (!requireSelection(1)) return;
    // The rows stay as they are during the walk, so the k-th removal takes row - k.
    int removed = 0;
    for (int row : selectedRows()) clips_.remove(row - removed++);
    refresh();
    clips_.rebuildAudioSources();
}

void ClipListView::deleteAll() {
    clips_.clear();
    refresh();
    clips_.rebuildAudioSources();
}

void ClipListView::moveSelectedUp() {
    if (!requireSelection(2)) return;
    for (int row = firstSelectedRow(); row >= 0;) {
        const int next = nextSelectedRow(row);
        if (row == 0) {
            table_->setFocus();
            break;
        }
        clips_.swapWithNext(row - 1);
        // The moved row keeps its selection: the row above goes, and a new row below the
        // moved one shows the displaced clip.
        table_->removeRow(row - 1);
        table_->insertRow(row);
        fillRow(row);
        table_->setFocus();
        row = next;
    }
    clips_.rebuildAudioSources();
}

void ClipListView::moveSelectedDown() {
    if (!requireSelection(2)) return;
    const int last = table_->rowCount() - 1;
    for (int row = previousSelectedRow(table_->rowCount()); row >= 0;) {
        const int next = previousSelectedRow(row);
        if (row == last) {
            table_->setFocus();
            break;
        }
        clips_.swapWithNext(row);
        table_->removeRow(row + 1);
        table_->insertRow(row);
        fillRow(row);
        table_->setFocus();
        row = next;
    }
    clips_.rebuildAudioSources();
}
