// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hyperlink.h"

#include <QUrl>

#include "platform/html_handler.h"
#include "platform/shell.h"

namespace ui {

int openHyperlink(const QUrl& url) {
    if (platform::shell().open(url)) return platform::open_result::kOpened;
    // The desktop could not open it: try its web browser by hand. When no browser is known,
    // the desktop's own failure stands.
    const QString command = platform::defaultHtmlHandlerCommand();
    if (command.isEmpty()) return platform::open_result::kNoAssociation;
    return platform::launchWithAddress(platform::commandBeforePlaceholder(command), url.toString());
}

QString hyperlinkFailureText(int result) {
    QString reason;
    switch (result) {
        case 0:
            reason = QStringLiteral("The operating system is out\nof memory or resources.");
            break;
        case 2:
            reason = QStringLiteral("The specified file was not found.");
            break;
        case 3:
            reason = QStringLiteral("The specified path was not found.");
            break;
        case 5:
            reason = QStringLiteral("The operating system denied\naccess to the specified file.");
            break;
        case 8:
            reason = QStringLiteral("There was not enough memory to complete the operation.");
            break;
        case 11:
            reason = QStringLiteral(
                "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
            break;
        case 26:
            reason = QStringLiteral("A sharing violation occurred. ");
            break;
        case 27:
            reason = QStringLiteral("The filename association is\nincomplete or invalid.");
            break;
        case 28:
            reason = QStringLiteral(
                "The DDE transaction could not\nbe completed because the request timed out.");
            break;
        case 29:
            reason = QStringLiteral("The DDE transaction failed.");
            break;
        case 30:
            reason = QStringLiteral(
                "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
                "being processed.");
            break;
        case 31:
            reason = QStringLiteral(
                "There is no application associated\nwith the given filename extension.");
            break;
        case 32:
            reason = QStringLiteral("The specified dynamic-link library was not found.");
            break;
        default:
            reason = QStringLiteral("Unknown Error (%1) occurred.").arg(result);
            break;
    }
    return QStringLiteral("Unable to open hyperlink:\n\n") + reason;
}

}  // namespace ui
