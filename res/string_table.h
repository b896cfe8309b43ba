// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built-in English string table, by string id. Every translation falls back to it.

namespace res {

// The English text of string `id`; an empty string (never null) for an unknown id.
const char* builtInString(int id);

// Every id of the table, ascending, for the language system and its tests.
int builtInStringCount();
int builtInStringIdAt(int index);

}  // namespace res
