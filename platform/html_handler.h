// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's default web browser, reached without the desktop's open service: the
// handler that `xdg-mime` names for text/html and the command line of its desktop entry.
// Links fall back on it when the desktop cannot open an address by itself.
#include <QString>

namespace platform {

// Results of opening something, in the numbers the program's messages are keyed by: above
// 32 is success.
namespace open_result {
inline constexpr int kOutOfResources = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kBadProgram = 11;
inline constexpr int kNoAssociation = 31;
inline constexpr int kOpened = 42;
}  // namespace open_result

// The Exec command line of the desktop's default text/html handler; empty when there is
// none, or its desktop entry cannot be found or has no command.
QString defaultHtmlHandlerCommand();

// `commandLine` cut before its first file or address placeholder: before a quoted "%u",
// "%U", "%f" or "%F" (the cut falls before the opening quote), or else before the bare
// placeholder; whole when it has none.
QString commandBeforePlaceholder(const QString& commandLine);

// Starts `commandLine` followed by `address` as one more argument, without waiting for it,
// and says how that went: kOpened, or why the program could not be started.
int launchWithAddress(const QString& commandLine, const QString& address);

}  // namespace platform
