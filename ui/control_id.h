// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every control of every dialog carries its numeric id in this property, so handlers,
// translation and tests find controls by id.

namespace ui {

inline constexpr char kControlIdProperty[] = "controlId";

}  // namespace ui
