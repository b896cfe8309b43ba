// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface font: the font translated dialogs and controls are drawn in, remembered
// per language in the settings section named after the language, one value per field of
// the desktop's logical-font record.
#include <QFont>
#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace ui {

class ValueStore;

// The desktop's logical-font record, as the settings keep it.
struct LogicalFont {
    std::int32_t height = -11;  // negative: character height in pixels; positive: cell height
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 400;  // 400 normal, 700 bold; 0 the font's own
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 1;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t pitchAndFamily = 0;
    QString faceName = QStringLiteral("Microsoft Sans Serif");  // at most 31 characters

    bool operator==(const LogicalFont&) const = default;
};

inline constexpr int kMaxFaceNameChars = 31;

// The font stored for `language`, field by field, each missing value taking its default.
LogicalFont readLogicalFont(const ValueStore& store, const QString& language);
void writeLogicalFont(ValueStore& store, const QString& language, const LogicalFont& font);

// The font the record describes. A face this machine lacks is matched to its nearest
// font by the font system; only a record no font can be made of (no face name, a height
// of 0 or beyond 1000) gives nothing.
std::optional<QFont> makeFont(const LogicalFont& logical);

// The record that describes `font`, keeping the fields a font does not carry (character
// set, precisions, angles) from `base`.
LogicalFont describeFont(const QFont& font, const LogicalFont& base);

// The font-choice dialog, behind an interface tests replace.
class FontChooser {
public:
    virtual ~FontChooser() = default;
    // The chosen font, or nothing when the user cancels.
    virtual std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) = 0;
};

FontChooser& fontChooser();
// Installs `chooser` (not owned) and returns the previous replacement; nullptr restores
// the Qt dialog.
FontChooser* setFontChooser(FontChooser* chooser);

}  // namespace ui
