// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/divx_feedback.h"

#include "app/settings_store.h"

namespace {
// The value stands directly on the codec's key, outside any section.
const QString kNoSection;
const QString kDisableFeedback = QStringLiteral("Disable feedback");
}  // namespace

void DisableDivxFeedback(SettingsStore& store) {
    if (!store.contains(kNoSection, kDisableFeedback)) return;
    constexpr std::int32_t kMissing = static_cast<std::int32_t>(0x80000000);
    const std::int32_t value = store.readInt(kNoSection, kDisableFeedback, kMissing);
    if (value == kMissing) return;  // not an integer: left as it is
    const std::int32_t disabled = static_cast<std::int32_t>((static_cast<std::uint32_t>(value) & ~0xFFu) | 1u);
    if (disabled != value) store.writeInt(kNoSection, kDisableFeedback, disabled);
}

SettingsStore& divxSettingsStore() {
    static SettingsStore store(QStringLiteral("DivXNetworks"), QStringLiteral("DivX4Windows"));
    return store;
}
