// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/filter_property_dialog.h"

#include <QListWidget>
#include <QPushButton>

#include "ui/control_id.h"
#include "ui/dialog_units.h"

CDialogFilterPerproty::CDialogFilterPerproty(const OutputGraphView& graph, QWidget* parent)
    : QDialog(parent), graph_(graph) {
    setWindowTitle(QStringLiteral("Set Filter's Properties"));
    setProperty(ui::kControlIdProperty, filterdlg::kDialogId);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    const DialogUnits du(font());

    list_ = new QListWidget(this);
    list_->setProperty(ui::kControlIdProperty, filterdlg::kFilterList);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(false);
    list_->setGeometry(du.toPixels({7, 7, 124, 82}));

    settings_ = new QPushButton(QStringLiteral("&Settings"), this);
    settings_->setProperty(ui::kControlIdProperty, filterdlg::kSettings);
    settings_->setGeometry(du.toPixels({138, 7, 50, 14}));
    settings_->setEnabled(false);

    auto* done = new QPushButton(QStringLiteral("&Continue"), this);
    done->setProperty(ui::kControlIdProperty, filterdlg::kContinue);
    done->setGeometry(du.toPixels({138, 25, 50, 14}));
    done->setDefault(true);

    setFixedSize(du.toPixels({0, 0, 195, 96}).size());

    connect(settings_, &QPushButton::clicked, this, &CDialogFilterPerproty::onSettings);
    connect(done, &QPushButton::clicked, this, &QDialog::reject);
    fillList();
    // Connected after filling, so the rule runs once for row 0 as the dialog opens.
    connect(list_, &QListWidget::currentRowChanged, this, &CDialogFilterPerproty::onSelectionChanged);
    list_->setCurrentRow(0);
    onSelectionChanged();
}

void CDialogFilterPerproty::fillList() {
    list_->clear();
    std::vector<GraphFilter> filters;
    if (!graph_.enumerateFilters(filters)) {
        list_->addItem(filterdlg::kErrorRow);
        return;
    }
    for (const GraphFilter& f : filters) list_->addItem(f.readable ? f.name : filterdlg::kErrorRow);
}

std::optional<GraphFilter> CDialogFilterPerproty::findFilter(const QString& name) const {
    // Listed afresh: the graph is the authority, not the rows shown.
    std::vector<GraphFilter> filters;
    if (!graph_.enumerateFilters(filters)) return std::nullopt;
    for (GraphFilter& f : filters) {
        if (!f.readable) return std::nullopt;
        if (f.name == name) return std::move(f);
    }
    return std::nullopt;
}

QString CDialogFilterPerproty::selectedText() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

void CDialogFilterPerproty::onSelectionChanged() {
    if (list_->currentRow() < 0) return;  // no selection: the button keeps its state
    if (const auto filter = findFilter(selectedText())) settings_->setEnabled(bool(filter->showPages));
}

void CDialogFilterPerproty::onSettings() {
    if (list_->currentRow() < 0) return;
    const auto filter = findFilter(selectedText());
    if (!filter || !filter->showPages) return;
    filter->showPages(this, filter->name);
}
