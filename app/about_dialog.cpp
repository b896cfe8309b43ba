// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_dialog.h"

#include "app/control_ids.h"
#include "ui/dialog_units.h"
#include "app/program_options.h"
#include "app/vendor_links.h"
#include "res/pictures.h"
#include "ui/link_label.h"
#include "ui/translation.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kIconLabel = 1048;
constexpr int kProgramName = 1072;
constexpr int kVersion = 1073;
constexpr int kHomeLink = 1049;
constexpr int kSupportLink = 1050;
constexpr int kNotice = 1099;  // an id of its own: the language files key texts by id
// The licence asks an interactive program to say that it is free, without warranty, and
// where its source is.
constexpr int kLicence = 1102;
constexpr int kSourceLink = 1101;  // shows its address, in every language

QLabel* label(QWidget* parent, int id, const QString& text, const DialogUnits& du, DialogRect r) {
    auto* l = new QLabel(text, parent);
    l->setProperty(ids::kControlIdProperty, id);
    l->setGeometry(du.toPixels(r));
    return l;
}

// A link standing where the template puts it, underlined, opening `url`. An empty `text`
// shows the address itself.
CLinkLabel* link(QWidget* parent, int id, const QString& text, const QUrl& url, const DialogUnits& du, DialogRect r) {
    auto* l = new CLinkLabel(text, parent);
    l->setProperty(ids::kControlIdProperty, id);
    l->setGeometry(du.toPixels(r));
    l->SetURL(url);
    l->attach();
    l->SetUnderline(CLinkLabel::kUnderlineAlways);
    return l;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About"));
    setProperty(ids::kControlIdProperty, ids::kAboutDialog);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    const DialogUnits du(font());

    auto* icon = label(this, kIconLabel, QString(), du, {11, 17, 24, 24});
    icon->setPixmap(res::icon(128).pixmap(du.toPixels({0, 0, 24, 24}).size()));

    QLabel* name = label(this, kProgramName, QStringLiteral("Clipfuse"), du, {44, 10, 170, 10});
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    label(this, kVersion, QStringLiteral("Version %1").arg(QLatin1String(programVersion())), du,
          {44, 22, 170, 9});
    link(this, kHomeLink, QString(), vendorHomePage(), du, {44, 34, 170, 9});
    link(this, kSupportLink, QStringLiteral("Support Email: Click here"), vendorContactPage(), du, {44, 46, 170, 9});
    QLabel* notice = label(this, kNotice,
                           QStringLiteral("Parts of this program read and write Windows Media files with the "
                                          "FFmpeg libraries."),
                           du, {44, 60, 170, 26});  // three lines in the longer languages
    notice->setWordWrap(true);
    QLabel* licence = label(this, kLicence,
                            QStringLiteral("Clipfuse is free software under the GNU General Public "
                                           "License, version 3 or later, with NO WARRANTY. Its source "
                                           "code is at:"),
                            du, {44, 88, 170, 26});
    licence->setWordWrap(true);
    licence->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // the address follows right below
    link(this, kSourceLink, QString(), programSourcePage(), du, {44, 115, 170, 9});

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setProperty(ids::kControlIdProperty, ids::kIdOk);
    ok->setGeometry(du.toPixels({163, 130, 50, 14}));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(du.toPixels({0, 0, 221, 152}).size());
    TranslateDialog(this, ids::kAboutDialog);
}
