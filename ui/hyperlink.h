// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a link's address: the desktop first, then the desktop's default web browser run
// directly; and the texts that say why an address could not be opened.
#include <QString>

class QUrl;

namespace ui {

// Opens `url` and gives the result: above 32 when it was opened, otherwise the reason by
// its number (see platform/html_handler.h).
int openHyperlink(const QUrl& url);

// The message for a failed open with `result`: "Unable to open hyperlink:", a blank line
// and the text for that result.
QString hyperlinkFailureText(int result);

}  // namespace ui
