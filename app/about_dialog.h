// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box (dialog 100): the program's name, version, the vendor's pages, the
// libraries it is built on, its licence and where its source is.
#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};
