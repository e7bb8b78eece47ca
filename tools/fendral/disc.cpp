#include "disc.h"

#include <cmath>

namespace fendral {

Disc::Disc(double radius)
    : reach_(static_cast<int>(std::floor(radius))) {
    if (reach_ == 0) {
        // Also covers radius 0, where sigma would be 0.
        rows_.push_back({0, 0, {1.0F}, {1.0}});
        return;
    }
    const double radiusSquared = radius * radius;
    const double twoSigmaSquared = radiusSquared / 2; // 2 * (radius / 2)^2
    for (int dy = -reach_; dy <= reach_; ++dy) {
        // Integer comparison rather than sqrt, so a tap exactly on the circle is always in.
        int half = 0;
        while ((half + 1) * (half + 1) + dy * dy <= radiusSquared) {
            ++half;
        }
        TapRow row{dy, half, {}, {}};
        for (int dx = -half; dx <= half; ++dx) {
            row.exact.push_back(std::exp(-(dx * dx + dy * dy) / twoSigmaSquared));
            row.weights.push_back(static_cast<float>(row.exact.back()));
        }
        rows_.push_back(std::move(row));
    }
}

} // namespace fendral
