// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/mask_effect.h"

#include <algorithm>

#include "media/effects/frame_ops.h"

namespace media::effects {

std::shared_ptr<const ThresholdMap> MaskEffect::mapFor(int width, int height) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto hit = std::find_if(maps_.begin(), maps_.end(), [&](const auto& m) {
        return m->width() == width && m->height() == height;
    });
    if (hit != maps_.end()) {
        std::rotate(hit, hit + 1, maps_.end());
        return maps_.back();
    }
    // Built under the lock: a second thread asking for the same size waits for this map
    // instead of building its own.
    auto map = std::make_shared<const ThresholdMap>(width, height, pattern(width, height),
                                                    style_.normalise);
    if (maps_.size() == kCachedSizes) maps_.erase(maps_.begin());
    maps_.push_back(map);
    return map;
}

void MaskEffect::prepare(int width, int height) const {
    if (width > 0 && height > 0) mapFor(width, height);
}

void MaskEffect::render(const Frame& a, const Frame& b, double progress, Frame& out) const {
    if (!sameSize(a, b, out)) return;
    if (!(progress > 0.0)) return copyPixels(a, out);
    if (progress >= 1.0) return copyPixels(b, out);
    mapFor(out.width(), out.height())->blend(a, b, progress, style_.softness, out);
}

}  // namespace media::effects
