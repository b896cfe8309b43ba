// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window_layout.h"

#include "app/control_ids.h"
#include "ui/hover_button.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

const std::vector<ControlTemplate>& mainWindowTemplate() {
    using K = ControlKind;
    static const std::vector<ControlTemplate> layout = {
        {ids::kButtonFrame, K::GroupFrame, "", {7, 0, 342, 39}},
        {ids::kAddVideo, K::CommandButton, "Add Video", {7, 5, 66, 32}},
        {ids::kTransition, K::CommandButton, "Transition", {76, 5, 66, 32}},
        {ids::kOptions, K::CommandButton, "Options", {145, 5, 66, 32}},
        {ids::kPreview, K::CommandButton, "Preview", {214, 5, 66, 32}},
        {ids::kJoin, K::CommandButton, "Join", {283, 5, 66, 32}},
        {ids::kClipList, K::ListView, "", {7, 44, 314, 123}},
        {ids::kMoveUp, K::IconButton, "", {325, 44, 24, 16}},
        {ids::kMoveDown, K::IconButton, "", {325, 70, 24, 16}},
        {ids::kDeleteSelected, K::IconButton, "", {325, 96, 24, 16}},
        {ids::kDeleteAll, K::IconButton, "", {325, 122, 24, 16}},
        {ids::kClipProperties, K::IconButton, "", {325, 148, 24, 16}},
        {ids::kHelp, K::TextButton, "&Help", {7, 174, 65, 16}},
        {ids::kHomepage, K::TextButton, "Homepage", {144, 174, 66, 16}},
        {ids::kAbout, K::TextButton, "About", {213, 174, 66, 16}},
        {ids::kExit, K::TextButton, "Exit", {282, 176, 66, 14}},
        {ids::kStatusLine, K::StatusLine, "", {7, 196, 342, 14}},
    };
    return layout;
}

namespace {

QWidget* create(QWidget* parent, const ControlTemplate& t) {
    const QString text = QString::fromUtf8(t.text);
    switch (t.kind) {
        case ControlKind::GroupFrame: return new QGroupBox(text, parent);
        case ControlKind::ListView: {
            auto* list = new QTableWidget(0, 4, parent);
            list->setSelectionBehavior(QAbstractItemView::SelectRows);
            list->setSelectionMode(QAbstractItemView::ExtendedSelection);
            list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            list->setShowGrid(true);
            list->setWordWrap(false);
            list->verticalHeader()->hide();
            // Compact rows as a report list has them, not the taller cells of a table.
            list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 5);
            list->horizontalHeader()->setHighlightSections(false);
            list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
            list->setContextMenuPolicy(Qt::CustomContextMenu);
            return list;
        }
        case ControlKind::StatusLine: {
            auto* label = new QLabel(text, parent);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setTextFormat(Qt::PlainText);
            label->setAutoFillBackground(true);
            return label;
        }
        case ControlKind::CommandButton:
        case ControlKind::IconButton:
        case ControlKind::TextButton: {
            // Decorated (icon, sound, cursor, tooltip) when the window initialises.
            auto* button = new CHoverButton(parent);
            button->setText(text);
            return button;
        }
    }
    return nullptr;
}

}  // namespace

void createControls(QWidget* parent, const std::vector<ControlTemplate>& layout, const DialogUnits& units) {
    for (const ControlTemplate& t : layout) {
        QWidget* w = create(parent, t);
        w->setProperty(ids::kControlIdProperty, t.id);
        w->setGeometry(units.toPixels(t.rect));
        if (t.kind == ControlKind::GroupFrame) w->lower();
    }
}

QWidget* findControl(const QWidget* parent, int id) {
    const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : children) {
        const QVariant v = w->property(ids::kControlIdProperty);
        if (v.isValid() && v.toInt() == id) return w;
    }
    return nullptr;
}
