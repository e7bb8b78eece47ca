#include "TempFolder.h"
#include "file_job.h"
#include "test_tiff.h"

#include <gtest/gtest.h>

namespace fendral::test {
namespace {

class FilterBehaviour : public testing::Test {
protected:
    TestImage roundTrip(const TestImage& image, const TiffLayout& layout, double radius,
                        double maxDiff) {
        writeTiff(folder / "in.tif", {image}, layout);
        filterFile(folder / "in.tif", folder / "out.tif", {radius, maxDiff, 2});
        return readTiff(folder / "out.tif").at(0);
    }

    fendralwin::test::TempFolder folder;
};

// Transparent red beside opaque blue: even with every difference allowed, no red may reach the
// blue side, and alpha stays as it was.
TEST_F(FilterBehaviour, TransparentPixelsLendNoColour) {
    const struct {
        std::uint16_t extraSample;
        std::uint16_t transparentRed; // premultiplied red is 0 at alpha 0
    } cases[] = {{EXTRASAMPLE_UNASSALPHA, 255}, {EXTRASAMPLE_ASSOCALPHA, 0}};
    for (const auto& c : cases) {
        TestImage image{12, 6, 4, 8, {}};
        for (std::uint32_t i = 0; i < 12 * 6; ++i) {
            const bool opaque = i % 12 >= 6;
            image.samples.insert(image.samples.end(), {opaque ? std::uint16_t{0} : c.transparentRed,
                                                       0, std::uint16_t(opaque ? 255 : 0),
                                                       std::uint16_t(opaque ? 255 : 0)});
        }
        TiffLayout layout{PHOTOMETRIC_RGB, c.extraSample};
        const TestImage out = roundTrip(image, layout, 3, 255);
        for (std::uint32_t y = 0; y < 6; ++y) {
            for (std::uint32_t x = 0; x < 12; ++x) {
                EXPECT_EQ(out.at(x, y, 3), image.at(x, y, 3)) << x << "," << y;
                if (x >= 6) {
                    EXPECT_EQ(out.at(x, y, 0), 0)
                        << "extra sample " << c.extraSample << " at " << x;
                    EXPECT_EQ(out.at(x, y, 2), 255)
                        << "extra sample " << c.extraSample << " at " << x;
                }
            }
        }
    }
}

// MAXDIFF counts 8-bit levels: between 16-bit samples it allows 257 times as much.
TEST_F(FilterBehaviour, SixteenBitThresholdIsOnTheEightBitScale) {
    const struct {
        int step; // between the two halves, in 8-bit levels
        bool mixes;
    } cases[] = {{5, true}, {20, false}};
    for (const auto& c : cases) {
        TestImage image{8, 4, 1, 16, {}};
        for (std::uint32_t i = 0; i < 8 * 4; ++i) {
            image.samples.push_back(std::uint16_t((i % 8 < 4 ? 100 : 100 + c.step) * 257));
        }
        const TestImage out = roundTrip(image, {}, 2, 10);
        EXPECT_EQ(out.at(3, 1, 0) != image.at(3, 1, 0), c.mixes) << "step " << c.step;
    }
}

} // namespace
} // namespace fendral::test
