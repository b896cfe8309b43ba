// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading back the kept list at start, off the window's thread: the list's file is read on
// the media worker, its clips enter the list at once (marked as being measured, so the
// window is usable while they are), and each is measured again as an added clip is. A
// clip that no longer measures is left out; its duration is the new measurement; one that
// does not answer in time stays, marked as not answering. One message at the end says
// what happened.
#include <chrono>

// How long one kept clip may take to answer its measurement: 10 seconds unless changed
// (tests shorten it).
void setKeptClipAnswerLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds keptClipAnswerLimit();

// How long reading the list's file itself may take.
inline constexpr std::chrono::milliseconds kKeptListReadLimit{10'000};
