#include "selective_kernel.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace fendral {
namespace {

// Every variant this processor runs gives the baseline's means, up to the rounding that fused
// multiply-adds change, with and without alpha.
TEST(KernelDispatch, EveryVariantAgreesWithTheBaseline) {
    constexpr int width = 300; // more than a block, and a short one
    constexpr int rows = 3;
    const KernelVariant& baseline = kernelVariants().back();
    for (const double radius : {1.0, 2.5, 7.0}) {
        const Disc disc(radius);
        const std::ptrdiff_t stride = width + 2 * disc.reach();
        std::vector<float> values(static_cast<std::size_t>(stride * (rows + 2 * disc.reach())));
        std::vector<float> alpha(values.size());
        std::mt19937 random(3);
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = static_cast<float>(random() % 256);
            alpha[i] = static_cast<float>(random() % 4) / 3.0F;
        }
        const std::ptrdiff_t origin = disc.reach() * stride + disc.reach();
        for (const bool weighted : {false, true}) {
            const BandPlanes planes{values.data() + origin,
                                    weighted ? alpha.data() + origin : nullptr, stride};
            for (const KernelVariant& variant : kernelVariants()) {
                if (!variant.runsHere()) {
                    continue;
                }
                std::vector<float> want(width), got(width);
                for (int y = 0; y < rows; ++y) {
                    smoothRow(disc, 40, planes, y, width, want.data(), baseline);
                    smoothRow(disc, 40, planes, y, width, got.data(), variant);
                    for (int x = 0; x < width; ++x) {
                        ASSERT_NEAR(got[x], want[x], 1e-3)
                            << variant.name << " radius " << radius << " alpha " << weighted;
                    }
                }
            }
        }
    }
    EXPECT_STREQ(baseline.name, "baseline");
}

} // namespace
} // namespace fendral
