// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The languages the program recognises by a language file's name: each row's Windows
// language identifier (primary language in the low 10 bits, sublanguage in the high 6),
// its three-letter abbreviation and the ANSI code page its text files are written in.
#include <cstdint>
#include <span>

namespace ui {

struct LocaleName {
    std::uint16_t identifier;
    const char* name;
    const char* abbreviation;
    int ansiCodePage;  // 0: none, the language is written in Unicode only
};

// All rows, in the order they are searched.
std::span<const LocaleName> localeNameTable();

}  // namespace ui
