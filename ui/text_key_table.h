// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keys the program reads from a language file, each with the id of the text it
// replaces. One key may serve several ids: its one value then labels each of them.
#include <span>

namespace ui {

struct TextKey {
    int id;
    const char* key;
};

// Every row, in the order a language file is read.
std::span<const TextKey> textKeyTable();

// The section a key is read from, by its first three letters (case-sensitive): "STRING"
// for IDS, "MENU" for IDM and IDR, "DIALOG" for IDD and IDC; nullptr for any other key.
const char* sectionOfKey(const char* key);

}  // namespace ui
