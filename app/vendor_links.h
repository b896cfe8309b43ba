#pragma once
#include <QUrl>

// The vendor's pages that Homepage and the About box open.
inline QUrl vendorHomePage() { return QUrl(QStringLiteral("https://www.korvane.com/clipfuse/")); }
inline QUrl vendorContactPage() { return QUrl(QStringLiteral("https://www.korvane.com/clipfuse/support/")); }
