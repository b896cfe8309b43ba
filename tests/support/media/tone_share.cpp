// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/tone_share.h"

#include <cmath>

namespace testmedia {

double toneShare(const std::vector<float>& x, std::size_t first, std::size_t count, double hz,
                 int rate) {
    const double w = 2.0 * M_PI * hz / rate, coeff = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0, energy = 0;
    for (std::size_t i = first; i < first + count && i < x.size(); ++i) {
        double s0 = x[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
        energy += static_cast<double>(x[i]) * x[i];
    }
    if (energy <= 1e-9) return 0.0;
    double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return power / (energy * static_cast<double>(count) / 2.0);
}

}  // namespace testmedia
