// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QUrl>

// The vendor's pages that Homepage and the About box open, and where the program's source is.
inline QUrl vendorHomePage() { return QUrl(QStringLiteral("https://www.korvane.com/clipfuse/")); }
inline QUrl vendorContactPage() { return QUrl(QStringLiteral("https://www.korvane.com/clipfuse/support/")); }
inline QUrl programSourcePage() { return QUrl(QStringLiteral("https://www.korvane.com/clipfuse/source/")); }
