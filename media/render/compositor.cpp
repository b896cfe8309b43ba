// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/compositor.h"

namespace media::render {
namespace {

Frame compositeBelow(const std::vector<Layer>& layers, std::size_t end, const Frame& black) {
    for (std::size_t i = end; i-- > 0;) {
        const Layer& layer = layers[i];
        const bool blending = layer.transition != nullptr;
        if (!layer.picture && !blending) continue;  // nothing on this track now: look through it
        if (!blending) return *layer.picture;
        // The transition blends what lies below this track into the track's own picture;
        // a track without a picture at this moment blends into black.
        Frame below = compositeBelow(layers, i, black);
        const Frame& into = layer.picture ? *layer.picture : black;
        Frame out(black.width(), black.height());
        layer.transition->render(below, into, layer.progress, out);
        return out;
    }
    return black;
}

}  // namespace

Frame composite(const std::vector<Layer>& layers, const Frame& black) {
    return compositeBelow(layers, layers.size(), black);
}

}  // namespace media::render
