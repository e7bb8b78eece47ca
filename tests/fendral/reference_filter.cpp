#include "reference_filter.h"

#include <algorithm>
#include <cmath>

namespace fendral::test {

TestImage referenceFilter(const TestImage& in, double radius, double maxDiff, int extraSample) {
    const double max = in.maxValue();
    const int colours = extraSample == noExtraSample ? in.channels : in.channels - 1;
    const int alpha = in.channels - 1;
    const bool associated = extraSample == EXTRASAMPLE_ASSOCALPHA;
    const bool weighted = associated || extraSample == EXTRASAMPLE_UNASSALPHA;
    const auto sample = [&](int x, int y, int channel) {
        return double(in.at(std::clamp(x, 0, int(in.width) - 1),
                            std::clamp(y, 0, int(in.height) - 1), channel));
    };
    // Premultiplied colours are compared and averaged as plain colours, to the nearest level.
    const auto colour = [&](int x, int y, int channel) {
        const double value = sample(x, y, channel);
        if (!associated) {
            return value;
        }
        const double a = sample(x, y, alpha);
        return a == 0 ? 0.0 : std::min(max, std::round(value * max / a));
    };
    const int reach = int(std::floor(radius));
    const double sigma = radius / 2;
    TestImage out = in;
    for (int y = 0; y < int(in.height); ++y) {
        for (int x = 0; x < int(in.width); ++x) {
            for (int c = 0; c < colours; ++c) {
                const double centre = colour(x, y, c);
                double sum = 0;
                double weights = 0;
                for (int dy = -reach; dy <= reach; ++dy) {
                    for (int dx = -reach; dx <= reach; ++dx) {
                        const double value = colour(x + dx, y + dy, c);
                        if (dx * dx + dy * dy > radius * radius ||
                            std::abs(value - centre) > maxDiff * max / 255) {
                            continue;
                        }
                        double weight =
                            reach == 0 ? 1 : std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
                        if (weighted) {
                            weight *= sample(x + dx, y + dy, alpha) / max;
                        }
                        sum += weight * value;
                        weights += weight;
                    }
                }
                double mean = weights > 0 ? sum / weights : centre;
                if (associated) {
                    mean = mean * sample(x, y, alpha) / max;
                }
                out.at(x, y, c) =
                    static_cast<std::uint16_t>(std::clamp(std::round(mean), 0.0, max));
            }
        }
    }
    return out;
}

} // namespace fendral::test
