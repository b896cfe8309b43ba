// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/integer_field.h"

#include <QLineEdit>

#include "ui/message_box.h"

IntegerFieldRead readIntegerField(const QString& text, int minimum, int maximum) {
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < trimmed.size() &&
        (trimmed[pos] == QLatin1Char('+') || trimmed[pos] == QLatin1Char('-'))) {
        negative = trimmed[pos] == QLatin1Char('-');
        ++pos;
    }
    const qsizetype firstDigit = pos;
    // Accumulate with a ceiling, so that a long run of digits is out of range, not wrapped.
    constexpr long long kCeiling = 1LL << 40;
    long long magnitude = 0;
    for (; pos < trimmed.size(); ++pos) {
        const QChar c = trimmed[pos];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        magnitude = qMin(kCeiling, magnitude * 10 + (c.unicode() - '0'));
    }
    if (pos == firstDigit || pos != trimmed.size())
        return {std::nullopt, QStringLiteral("Enter an integer.")};
    const long long value = negative ? -magnitude : magnitude;
    if (value < minimum || value > maximum)
        return {std::nullopt,
                QStringLiteral("Enter an integer between %1 and %2.").arg(minimum).arg(maximum)};
    return {static_cast<int>(value), QString()};
}

std::optional<int> exchangeIntegerField(QWidget* dialog, QLineEdit* edit, int minimum,
                                        int maximum) {
    IntegerFieldRead read = readIntegerField(edit->text(), minimum, maximum);
    if (read.value) return read.value;
    ui::showPlainMessage(dialog, read.message);
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}
