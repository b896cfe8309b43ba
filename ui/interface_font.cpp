// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/interface_font.h"

#include <QFontDialog>

#include "ui/value_store.h"

namespace ui {

namespace {

const QString kHeight = QStringLiteral("lfHeight");
const QString kWidth = QStringLiteral("lfWidth");
const QString kEscapement = QStringLiteral("lfEscapement");
const QString kOrientation = QStringLiteral("lfOrientation");
const QString kWeight = QStringLiteral("lfWeight");
const QString kItalic = QStringLiteral("lfItalic");
const QString kUnderline = QStringLiteral("lfUnderline");
const QString kStrikeOut = QStringLiteral("lfStrikeOut");
const QString kCharSet = QStringLiteral("lfCharSet");
const QString kOutPrecision = QStringLiteral("lfOutPrecision");
const QString kClipPrecision = QStringLiteral("lfClipPrecision");
const QString kPitchAndFamily = QStringLiteral("lfPitchAndFamily");
const QString kFaceName = QStringLiteral("lfFaceName");

// A byte field keeps the low byte of whatever integer is stored, as a one-byte field would.
std::uint8_t readByte(const ValueStore& store, const QString& section, const QString& name,
                      std::uint8_t fallback) {
    return static_cast<std::uint8_t>(store.readInt(section, name, fallback) & 0xFF);
}

// Qt's weights run from 1 to 1000 on the same scale as the desktop's.
QFont::Weight qtWeight(std::int32_t weight) {
    if (weight <= 0) return QFont::Normal;
    return static_cast<QFont::Weight>(qBound(1, weight, 1000));
}

class QtFontChooser : public FontChooser {
public:
    std::optional<QFont> chooseFont(QWidget* owner, const QFont& initial) override {
        bool ok = false;
        const QFont chosen =
            QFontDialog::getFont(&ok, initial, owner, QString(), QFontDialog::FontDialogOptions());
        if (!ok) return std::nullopt;
        return chosen;
    }
};

QtFontChooser qtChooser;
FontChooser* installed = nullptr;

}  // namespace

LogicalFont readLogicalFont(const ValueStore& store, const QString& language) {
    const LogicalFont d;
    LogicalFont f;
    f.height = store.readInt(language, kHeight, d.height);
    f.width = store.readInt(language, kWidth, d.width);
    f.escapement = store.readInt(language, kEscapement, d.escapement);
    f.orientation = store.readInt(language, kOrientation, d.orientation);
    f.weight = store.readInt(language, kWeight, d.weight);
    f.italic = readByte(store, language, kItalic, d.italic);
    f.underline = readByte(store, language, kUnderline, d.underline);
    f.strikeOut = readByte(store, language, kStrikeOut, d.strikeOut);
    f.charSet = readByte(store, language, kCharSet, d.charSet);
    f.outPrecision = readByte(store, language, kOutPrecision, d.outPrecision);
    f.clipPrecision = readByte(store, language, kClipPrecision, d.clipPrecision);
    f.pitchAndFamily = readByte(store, language, kPitchAndFamily, d.pitchAndFamily);
    f.faceName = store.readText(language, kFaceName, d.faceName).left(kMaxFaceNameChars);
    return f;
}

void writeLogicalFont(ValueStore& store, const QString& language, const LogicalFont& f) {
    store.writeInt(language, kHeight, f.height);
    store.writeInt(language, kWidth, f.width);
    store.writeInt(language, kEscapement, f.escapement);
    store.writeInt(language, kOrientation, f.orientation);
    store.writeInt(language, kWeight, f.weight);
    store.writeInt(language, kItalic, f.italic);
    store.writeInt(language, kUnderline, f.underline);
    store.writeInt(language, kStrikeOut, f.strikeOut);
    store.writeInt(language, kCharSet, f.charSet);
    store.writeInt(language, kOutPrecision, f.outPrecision);
    store.writeInt(language, kClipPrecision, f.clipPrecision);
    store.writeInt(language, kPitchAndFamily, f.pitchAndFamily);
    store.writeText(language, kFaceName, f.faceName);
}

std::optional<QFont> makeFont(const LogicalFont& logical) {
    const QString face = logical.faceName.trimmed();
    const std::int64_t height = logical.height < 0 ? -std::int64_t(logical.height) : logical.height;
    if (face.isEmpty() || height == 0 || height > 1000) return std::nullopt;
    QFont font(face);
    // A positive height is the cell, leading included; the characters fill about 80 % of it.
    font.setPixelSize(logical.height < 0 ? int(height) : qMax(1, int(height * 4 / 5)));
    font.setWeight(qtWeight(logical.weight));
    font.setItalic(logical.italic != 0);
    font.setUnderline(logical.underline != 0);
    font.setStrikeOut(logical.strikeOut != 0);
    return font;
}

LogicalFont describeFont(const QFont& font, const LogicalFont& base) {
    LogicalFont f = base;
    f.faceName = font.family().left(kMaxFaceNameChars);
    // A font chosen by points is stored in pixels of a 96-dpi screen, as the desktop does.
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * 96.0 / 72.0);
    f.height = -qMax(1, pixels);
    f.width = 0;
    f.weight = font.weight();
    f.italic = font.italic() ? 1 : 0;
    f.underline = font.underline() ? 1 : 0;
    f.strikeOut = font.strikeOut() ? 1 : 0;
    return f;
}

FontChooser& fontChooser() {
    return installed ? *installed : qtChooser;
}

FontChooser* setFontChooser(FontChooser* chooser) {
    FontChooser* previous = installed;
    installed = chooser;
    return previous;
}

}  // namespace ui
