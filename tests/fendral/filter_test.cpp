#include "TempFolder.h"
#include "file_job.h"
#include "selective_kernel.h"
#include "test_tiff.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace fendral::test {
namespace {

// The filter written for clarity, not speed, in double precision. extraSample is the TIFF code
// of the last channel (EXTRASAMPLE_ASSOCALPHA...), or -1 when it is a colour.
TestImage referenceFilter(TestImage in, double radius, double maxDiff, int extraSample) {
    const double max = in.bits == 8 ? 255 : 65535;
    const int colours = extraSample < 0 ? in.channels : in.channels - 1, alpha = in.channels - 1;
    const bool associated = extraSample == EXTRASAMPLE_ASSOCALPHA;
    const bool weighted = associated || extraSample == EXTRASAMPLE_UNASSALPHA;
    const auto sample = [&](int x, int y, int channel) {
        return double(in.at(std::uint32_t(std::clamp(x, 0, int(in.width) - 1)),
                            std::uint32_t(std::clamp(y, 0, int(in.height) - 1)), channel));
    };
    // Premultiplied colours are compared and averaged as plain colours, to the nearest level.
    const auto colour = [&](int x, int y, int channel) {
        const double value = sample(x, y, channel), a = associated ? sample(x, y, alpha) : max;
        return !associated ? value : a == 0 ? 0.0 : std::min(max, std::round(value * max / a));
    };
    const int reach = int(radius);
    TestImage out = in;
    for (int y = 0; y < int(in.height); ++y) {
        for (int x = 0; x < int(in.width); ++x) {
            for (int c = 0; c < colours; ++c) {
                const double centre = colour(x, y, c);
                double sum = 0, weights = 0;
                for (int dy = -reach; dy <= reach; ++dy) {
                    for (int dx = -reach; dx <= reach; ++dx) {
                        const double value = colour(x + dx, y + dy, c), d2 = dx * dx + dy * dy;
                        if (d2 <= radius * radius &&
                            std::abs(value - centre) <= maxDiff * max / 255) {
                            const double weight =
                                std::exp(-2 * d2 / (radius * radius)) *
                                (weighted ? sample(x + dx, y + dy, alpha) / max : 1);
                            sum += weight * value;
                            weights += weight;
                        }
                    }
                }
                const double mean = (weights > 0 ? sum / weights : centre) *
                                    (associated ? sample(x, y, alpha) / max : 1);
                out.at(std::uint32_t(x), std::uint32_t(y), c) =
                    static_cast<std::uint16_t>(std::clamp(std::round(mean), 0.0, max));
            }
        }
    }
    return out;
}

int largestDifference(const TestImage& a, const TestImage& b) {
    int largest = a.samples.size() == b.samples.size() ? 0 : 1 << 20;
    for (std::size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i) {
        largest = std::max(largest, std::abs(int(a.samples[i]) - int(b.samples[i])));
    }
    return largest;
}

// Every kind of page the filter takes, in two-page files with pages of odd sizes (partial tiles
// and strips, several chunks of rows): the output keeps the input's tags, layout and flavour,
// its samples are the reference's on any number of threads, and a radius below one copies them.
TEST(Filter, EveryKindMatchesTheReference) {
    const struct Kind {
        const char* name;
        std::uint16_t photometric;
        int channels, bits, extraSample;
        bool planar, tiled;
        std::uint16_t compression;
        const char* mode = "w";
    } kinds[] = {
        // clang-format off
        {"grey 8", PHOTOMETRIC_MINISBLACK, 1, 8, -1, false, false, COMPRESSION_NONE},
        {"grey 16, tiles", PHOTOMETRIC_MINISBLACK, 1, 16, -1, false, true, COMPRESSION_NONE},
        {"min-is-white 8, LZW", PHOTOMETRIC_MINISWHITE, 1, 8, -1, false, false, COMPRESSION_LZW},
        {"grey + alpha 8", PHOTOMETRIC_MINISBLACK, 2, 8, EXTRASAMPLE_UNASSALPHA, false, false, COMPRESSION_NONE},
        {"grey premultiplied 16, planar, Deflate", PHOTOMETRIC_MINISBLACK, 2, 16, EXTRASAMPLE_ASSOCALPHA, true, false, COMPRESSION_ADOBE_DEFLATE},
        {"RGB 8, planar tiles", PHOTOMETRIC_RGB, 3, 8, -1, true, true, COMPRESSION_NONE},
        {"RGB 16, Deflate", PHOTOMETRIC_RGB, 3, 16, -1, false, false, COMPRESSION_ADOBE_DEFLATE},
        {"RGB premultiplied 8, LZW tiles", PHOTOMETRIC_RGB, 4, 8, EXTRASAMPLE_ASSOCALPHA, false, true, COMPRESSION_LZW},
        {"RGBA 16, planar, LZW", PHOTOMETRIC_RGB, 4, 16, EXTRASAMPLE_UNASSALPHA, true, false, COMPRESSION_LZW},
        {"RGB + extra 8, PackBits", PHOTOMETRIC_RGB, 4, 8, EXTRASAMPLE_UNSPECIFIED, false, false, COMPRESSION_PACKBITS},
        {"RGB 16, planar tiles, big-endian BigTIFF", PHOTOMETRIC_RGB, 3, 16, -1, true, true, COMPRESSION_NONE, "wb8"},
        {"RGB 8, JPEG", PHOTOMETRIC_RGB, 3, 8, -1, false, false, COMPRESSION_JPEG},
        {"YCbCr 8, JPEG tiles, filtered as RGB", PHOTOMETRIC_YCBCR, 3, 8, -1, false, true, COMPRESSION_JPEG},
        // clang-format on
    };
    const struct {
        double radius, maxDiff;
        unsigned threads;
    } settings[] = {{1, 10, 2}, {2.5, 30, 3}, {1.5, 255, 2},
                    {7, 40, 2}, {0, 255, 2},  {0.5, 255, 3}};
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const bool alpha = kind.extraSample > EXTRASAMPLE_UNSPECIFIED;
        const bool jpeg = kind.compression == COMPRESSION_JPEG;
        writeTiff(in,
                  {noisyImage(37, 141, kind.channels, kind.bits, alpha, 7),
                   noisyImage(20, 9, kind.channels, kind.bits, alpha, 8)},
                  {kind.photometric, std::uint16_t(std::max(0, kind.extraSample)), kind.planar,
                   kind.tiled, kind.compression, kind.mode});
        const std::vector<TestImage> pages = readTiff(in); // as JPEG decodes them
        for (const auto& s : settings) {
            SCOPED_TRACE(testing::Message() << "radius " << s.radius << ", maxdiff " << s.maxDiff);
            filterFile(in, out, {s.radius, s.maxDiff, 1});
            const std::vector<TestImage> serial = readTiff(out);
            filterFile(in, out, {s.radius, s.maxDiff, s.threads});
            const std::vector<TestImage> got = readTiff(out);
            EXPECT_EQ(tagsOf(out), tagsOf(in));
            // JPEG blocks at the edges take in what pads a partial tile, which may differ.
            EXPECT_TRUE(jpeg || got == serial) << "threads change samples";
            for (std::size_t p = 0; p < got.size(); ++p) {
                SCOPED_TRACE(testing::Message() << "page " << p + 1);
                const TestImage want =
                    s.radius < 1 ? pages[p]
                                 : referenceFilter(pages[p], s.radius, s.maxDiff, kind.extraSample);
                // Encoding JPEG again loses some; all else is within rounding, a copy exact.
                EXPECT_LE(largestDifference(got[p], want), jpeg ? 32 : s.radius < 1 ? 0 : 1);
                EXPECT_TRUE(jpeg || s.radius < 1 || largestDifference(want, pages[p]) > 1)
                    << "no change";
            }
        }
    }
}

// Every variant this processor runs gives the baseline's means, up to the rounding that fused
// multiply-adds change, with and without alpha, over more than a block and a short one.
TEST(Filter, EveryKernelVariantAgreesWithTheBaseline) {
    constexpr int width = 300, rows = 3;
    const KernelVariant& baseline = kernelVariants().back();
    EXPECT_STREQ(baseline.name, "baseline");
    for (const double radius : {1.0, 2.5, 7.0}) {
        const Disc disc(radius);
        const std::ptrdiff_t stride = width + 2 * disc.reach(),
                             origin = disc.reach() * (stride + 1);
        std::vector<float> values(std::size_t(stride * (rows + 2 * disc.reach()))), alpha;
        std::mt19937 random(3);
        for (float& value : values) {
            value = float(random() % 256);
            alpha.push_back(float(random() % 4) / 3.0F);
        }
        for (const KernelVariant& variant : kernelVariants()) {
            for (const float* weights : {static_cast<float*>(nullptr), alpha.data() + origin}) {
                SCOPED_TRACE(testing::Message()
                             << variant.name << " radius " << radius << (weights ? " alpha" : ""));
                std::vector<float> want(width), got(width);
                for (int y = 0; variant.runsHere() && y < rows; ++y) {
                    const BandPlanes planes{values.data() + origin, weights, stride};
                    smoothRow(disc, 40, planes, y, width, want.data(), baseline);
                    smoothRow(disc, 40, planes, y, width, got.data(), variant);
                    for (std::size_t x = 0; x < width; ++x) {
                        ASSERT_NEAR(got[x], want[x], 1e-3) << x;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace fendral::test
