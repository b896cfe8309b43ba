// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/string_table.h"

#include <algorithm>
#include <iterator>

namespace res {

namespace {

struct Entry {
    int id;
    const char* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {101, "&About"},
    {102, "English"},
    {105, "Error"},
    {108, "Warning"},
    {110, "Select Output File Name"},
    {111, "Original size"},
    {112, "Custom size"},
    {113, "Original frame rate"},
    {114, "Custom frame rate"},
    {115, "Output file:"},
    {116, "Resolution:"},
    {117, "Preserve aspect ratio"},
    {118, "Stretch"},
    {119, "Open a video file"},
    {120, "Customize output options"},
    {121, "Convert video"},
    {122, "Cannot open the file. You need to install appropriate decoders. Or the file is corrupt."},
    {123, "Can not get the duration of the clip!"},
    {124, "Stop"},
    {125, "Convert"},
    {126, "Add video files to list"},
    {127, "Join the files to video"},
    {128, "Join"},
    {129, "Customize transition options"},
    {130, "Preview the output. (The duration of each clip will be limited in 10 seconds for preview the "
          "result quickly)"},
    {131, "exists. Do you want to replace it?"},
    {133, "Move item up"},
    {134, "Move item down"},
    {135, "Delete selected item"},
    {136, "Delete all items"},
    {137, "Change selected item property"},
    {138, "Video File Name"},
    {139, "Duration(s)"},
    {140, "Transition"},
    {141, "Preview"},
    {143, "Please first stop converting"},
    {144, "Please select an item in the list first"},
    {145, "Please restart the program"},
    {163, "Done"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

}  // namespace

const char* builtInString(int id) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const Entry& e, int value) { return e.id < value; });
    return it != std::end(kStrings) && it->id == id ? it->text : "";
}

int builtInStringCount() {
    return static_cast<int>(std::size(kStrings));
}

int builtInStringIdAt(int index) {
    return index >= 0 && index < builtInStringCount() ? kStrings[index].id : 0;
}

}  // namespace res
