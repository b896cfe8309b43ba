// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
class SettingsStore;

// The DivX codec asks for feedback from time to time while it encodes, which would stall
// an unattended Join. Its own settings hold a "Disable feedback" value; when that value is
// present as an integer, its low byte is set to 1. Nothing is created when it is absent,
// and failures are silent. Runs at start and before every Join.
void DisableDivxFeedback(SettingsStore& divxStore);

// The codec's own settings file: company "DivXNetworks", application "DivX4Windows".
SettingsStore& divxSettingsStore();
