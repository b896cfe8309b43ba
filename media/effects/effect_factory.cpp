#include "media/effects/effect.h"
#include "media/effects/fade.h"

namespace media {

std::unique_ptr<TransitionEffect> createEffect(const EffectParams& params) {
    if (params.classId == "{16B280C5-EE70-11D1-9066-00C04FD9189D}") return std::make_unique<FadeEffect>();
    return nullptr;
}

}  // namespace media
