// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Named integer and text values in named sections: what the language system needs of the
// program's settings to keep an interface font per language.
#include <QString>
#include <cstdint>

namespace ui {

class ValueStore {
public:
    virtual ~ValueStore() = default;
    virtual std::int32_t readInt(const QString& section, const QString& name,
                                 std::int32_t defaultValue) const = 0;
    virtual QString readText(const QString& section, const QString& name,
                             const QString& defaultValue) const = 0;
    virtual bool writeInt(const QString& section, const QString& name, std::int32_t value) = 0;
    virtual bool writeText(const QString& section, const QString& name, const QString& value) = 0;
};

}  // namespace ui
