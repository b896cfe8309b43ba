// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Set Filter's Properties" (dialog 162): lists the components of an output graph by name
// before the graph runs and opens the settings pages of the selected one. Continue ends it.
#include <QDialog>
#include <optional>

#include "output/output_graph.h"

class QListWidget;
class QPushButton;

namespace filterdlg {
inline constexpr int kDialogId = 162;
inline constexpr int kFilterList = 1094;
inline constexpr int kSettings = 1095;
inline constexpr int kContinue = 2;  // the cancel id: it simply ends the dialog
inline const QString kErrorRow = QStringLiteral("<ERROR>");
}  // namespace filterdlg

class CDialogFilterPerproty : public QDialog {
    Q_OBJECT
public:
    // `graph` is not owned and must outlive the dialog.
    explicit CDialogFilterPerproty(const OutputGraphView& graph, QWidget* parent = nullptr);

    // The first component whose name equals `name` exactly; none when the components
    // cannot be listed, or when one that cannot be read comes first.
    std::optional<GraphFilter> findFilter(const QString& name) const;

private:
    void fillList();
    void onSelectionChanged();
    void onSettings();
    QString selectedText() const;

    const OutputGraphView& graph_;
    QListWidget* list_ = nullptr;
    QPushButton* settings_ = nullptr;
};
