#include "TempFolder.h"
#include "file_job.h"
#include "selective_kernel.h"
#include "test_tiff.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace fendral::test {
namespace {

// The filter written for clarity, not speed, in double precision. extraSample is the TIFF code
// of the last channel (EXTRASAMPLE_ASSOCALPHA...), or -1 when it is a colour.
TestImage referenceFilter(const TestImage& in, double radius, double maxDiff, int extraSample) {
    const double max = in.bits == 8 ? 255 : 65535;
    const int width = int(in.width), height = int(in.height), channels = in.channels;
    const bool associated = extraSample == EXTRASAMPLE_ASSOCALPHA;
    const bool weighted = associated || extraSample == EXTRASAMPLE_UNASSALPHA;
    const auto sample = [&](int x, int y, int c) {
        x = std::clamp(x, 0, width - 1);
        return double(
            in.samples[std::size_t((std::clamp(y, 0, height - 1) * width + x) * channels + c)]);
    };
    // Premultiplied colours are compared and averaged as plain colours, to the nearest level.
    const auto colour = [&](int x, int y, int c) {
        const double value = sample(x, y, c), alpha = sample(x, y, channels - 1);
        return !associated  ? value
               : alpha == 0 ? 0
                            : std::min(max, std::round(value * max / alpha));
    };
    TestImage out = in;
    for (int i = 0; i < int(in.samples.size()); ++i) {
        const int x = i / channels % width, y = i / channels / width, c = i % channels;
        double sum = 0, weights = 0;
        for (int dy = -int(radius); dy <= int(radius) && (extraSample < 0 || c < channels - 1);
             ++dy) {
            for (int dx = -int(radius); dx <= int(radius); ++dx) {
                const double value = colour(x + dx, y + dy, c), d2 = dx * dx + dy * dy;
                if (d2 <= radius * radius &&
                    std::abs(value - colour(x, y, c)) <= maxDiff * max / 255) {
                    const double weight =
                        std::exp(-2 * d2 / (radius * radius)) *
                        (weighted ? sample(x + dx, y + dy, channels - 1) / max : 1);
                    sum += weight * value;
                    weights += weight;
                }
            }
        }
        const double mean = (weights > 0 ? sum / weights : colour(x, y, c)) *
                            (associated ? sample(x, y, channels - 1) / max : 1);
        if (extraSample < 0 || c < channels - 1) { // not the extra sample
            out.samples[std::size_t(i)] = std::uint16_t(std::clamp(std::round(mean), 0.0, max));
        }
    }
    return out;
}

int largestDifference(const TestImage& a, const TestImage& b) {
    return a.samples.size() != b.samples.size()
               ? 1 << 20
               : std::transform_reduce(
                     a.samples.begin(), a.samples.end(), b.samples.begin(), 0,
                     [](int x, int y) { return std::max(x, y); },
                     [](int x, int y) { return std::abs(x - y); });
}

// Every kind of page the filter takes, in two-page files with pages of odd sizes (partial tiles
// and strips, several chunks of rows): the output keeps the input's tags, layout and flavour,
// its samples are the reference's on any number of threads, and a radius below one copies them.
TEST(Filter, EveryKindMatchesTheReference) {
    const std::tuple<const char*, std::uint16_t, std::uint16_t, TiffLayout> kinds[] = {
        // clang-format off
        {"grey 8", 1, 8, {PHOTOMETRIC_MINISBLACK}},
        {"grey 16, tiles", 1, 16, {PHOTOMETRIC_MINISBLACK, 0, false, true}},
        {"min-is-white 8, LZW", 1, 8, {PHOTOMETRIC_MINISWHITE, 0, false, false, COMPRESSION_LZW}},
        {"grey + alpha 8", 2, 8, {PHOTOMETRIC_MINISBLACK, EXTRASAMPLE_UNASSALPHA}},
        {"grey premultiplied 16, planar, Deflate", 2, 16, {PHOTOMETRIC_MINISBLACK, EXTRASAMPLE_ASSOCALPHA, true, false, COMPRESSION_ADOBE_DEFLATE}},
        {"RGB 8, planar tiles", 3, 8, {PHOTOMETRIC_RGB, 0, true, true}},
        {"RGB 16, Deflate", 3, 16, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE}},
        {"RGB premultiplied 8, LZW tiles", 4, 8, {PHOTOMETRIC_RGB, EXTRASAMPLE_ASSOCALPHA, false, true, COMPRESSION_LZW}},
        {"RGBA 16, planar, LZW", 4, 16, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, true, false, COMPRESSION_LZW}},
        {"RGB + extra 8, PackBits", 4, 8, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNSPECIFIED, false, false, COMPRESSION_PACKBITS}},
        {"RGB 16, planar tiles, big-endian BigTIFF", 3, 16, {PHOTOMETRIC_RGB, 0, true, true, COMPRESSION_NONE, "wb8"}},
        {"RGB 8, JPEG", 3, 8, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_JPEG}},
        {"YCbCr 8, JPEG tiles, filtered as RGB", 3, 8, {PHOTOMETRIC_YCBCR, 0, false, true, COMPRESSION_JPEG}}};
    const struct { double radius, maxDiff; unsigned threads; } settings[] = {
        {1, 10, 2}, {2.5, 30, 3}, {1.5, 255, 2}, {7, 40, 2}, {0, 255, 2}, {0.5, 255, 3}};
    // clang-format on
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    for (const auto& [name, channels, bits, layout] : kinds) {
        SCOPED_TRACE(name);
        const int extra = channels % 2 == 0 ? layout.extraSample : -1; // grey or RGB +1
        const bool jpeg = layout.compression == COMPRESSION_JPEG;
        writeTiff(in,
                  {noisyImage(37, 141, channels, bits, extra > 0, 7),
                   noisyImage(20, 9, channels, bits, extra > 0, 8)},
                  layout);
        const std::vector<TestImage> pages = readTiff(in); // as JPEG decodes them
        for (const auto& s : settings) {
            SCOPED_TRACE(testing::Message() << "radius " << s.radius << ", maxdiff " << s.maxDiff);
            filterFile(in, out, {s.radius, s.maxDiff, 1});
            const std::vector<TestImage> serial = readTiff(out);
            filterFile(in, out, {s.radius, s.maxDiff, s.threads});
            const std::vector<TestImage> got = readTiff(out);
            // JPEG blocks at the edges take in what pads a partial tile, which may differ.
            EXPECT_TRUE(jpeg || got == serial) << "threads change samples";
            ASSERT_EQ(got.size(), 2U);
            for (std::size_t p = 0; p < 2; ++p) {
                const TestImage want =
                    s.radius < 1 ? pages[p] : referenceFilter(pages[p], s.radius, s.maxDiff, extra);
                EXPECT_EQ(got[p].tags, want.tags);
                // Encoding JPEG again loses some; all else is within rounding, a copy exact.
                EXPECT_LE(largestDifference(got[p], want), jpeg ? 32 : s.radius < 1 ? 0 : 1) << p;
                EXPECT_TRUE(jpeg || s.radius < 1 || largestDifference(want, pages[p]) > 1)
                    << "no change";
            }
        }
    }
}

// Every variant this processor runs gives the baseline's means, up to the rounding that fused
// multiply-adds change, with and without alpha, over more than a block and a short one.
TEST(Filter, EveryKernelVariantAgreesWithTheBaseline) {
    constexpr std::ptrdiff_t stride = 320, origin = 8 * stride + 8; // room for a reach of 8
    std::vector<float> values(stride * 17), alpha(values.size());
    std::mt19937 random(3);
    std::ranges::generate(values, [&] { return float(random() % 256); });
    std::ranges::generate(alpha, [&] { return float(random() % 4) / 3.0F; });
    const KernelVariant& baseline = kernelVariants().back();
    EXPECT_STREQ(baseline.name, "baseline");
    for (const KernelVariant& variant : kernelVariants()) {
        for (const double radius : {1.0, 2.5, 7.0}) {
            for (const float* weights : {static_cast<float*>(nullptr), alpha.data() + origin}) {
                std::vector<float> want(300), got(300);
                const BandPlanes planes{values.data() + origin, weights, stride};
                smoothRow(Disc(radius), 40, planes, 0, 300, want.data(), baseline);
                smoothRow(Disc(radius), 40, planes, 0, 300, got.data(),
                          variant.runsHere() ? variant : baseline);
                EXPECT_TRUE(std::ranges::equal(
                    got, want, [](float a, float b) { return std::abs(a - b) < 1e-3F; }))
                    << variant.name << " radius " << radius << (weights ? " alpha" : "");
            }
        }
    }
}

// A radius of nought copies every page: the first with EXIF and GPS directories and
// reduced-resolution sub-images, which live apart from it (one that cannot be carried, CMYK, is
// named); then single strips too large to hold whole, read row by row, each plane on its own.
TEST(Keeping, ExifGpsSubImagesAndLargeStrips) {
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    {
        const TiffPtr tif = openTiff(in, "w");
        std::uint64_t exif = 0, gps = 0, subImages[2] = {};
        const std::uint16_t iso = 400;
        TIFFCreateEXIFDirectory(tif.get());
        TIFFSetField(tif.get(), EXIFTAG_DATETIMEORIGINAL, "2024:06:07 10:11:12");
        TIFFSetField(tif.get(), EXIFTAG_EXPOSURETIME, 0.125);
        TIFFSetField(tif.get(), EXIFTAG_ISOSPEEDRATINGS, 1, &iso);
        TIFFWriteCustomDirectory(tif.get(), &exif);
        TIFFFreeDirectory(tif.get()); // libtiff leaks the last directory's values otherwise
        TIFFCreateGPSDirectory(tif.get());
        TIFFSetField(tif.get(), GPSTAG_LATITUDEREF, "N");
        TIFFWriteCustomDirectory(tif.get(), &gps);
        TIFFFreeDirectory(tif.get());
        TIFFCreateDirectory(tif.get());
        const auto links = [&](TIFF* t) {
            TIFFSetField(t, TIFFTAG_EXIFIFD, exif);
            TIFFSetField(t, TIFFTAG_GPSIFD, gps);
            TIFFSetField(t, TIFFTAG_SUBIFD, 2, subImages);
        };
        const auto oneStrip = [](TIFF* t) {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1800);
        };
        writePage(tif.get(), noisyImage(40, 30, 3),
                  {PHOTOMETRIC_RGB, 0, false, false, 1, "w", links});
        writePage(tif.get(), noisyImage(20, 15, 3), {PHOTOMETRIC_RGB});
        writePage(tif.get(), noisyImage(8, 8, 4), {PHOTOMETRIC_SEPARATED});
        for (const bool planar : {false, true}) {
            writePage(tif.get(), noisyImage(1700, 1800, 3),
                      {PHOTOMETRIC_RGB, 0, planar, false, COMPRESSION_LZW, "w", oneStrip});
        }
    }
    EXPECT_EQ(
        filterFile(in, out, {0, 10, 2}).notKept,
        std::vector<std::string>{"page 1 sub-image 2 (CMYK (separated) images are not supported)"});
    EXPECT_EQ(readTiff(out), readTiff(in));
    // The first page's linked directories, after how many sub-images it has.
    const auto linked = [](const std::string& path) {
        const TiffPtr tif = openTiff(path);
        std::uint64_t exif = 0, gps = 0, *subImages = nullptr;
        std::uint16_t count = 0;
        TIFFGetField(tif.get(), TIFFTAG_EXIFIFD, &exif);
        TIFFGetField(tif.get(), TIFFTAG_GPSIFD, &gps);
        TIFFGetField(tif.get(), TIFFTAG_SUBIFD, &count, &subImages);
        std::string text = std::to_string(count);
        const std::uint64_t first = count > 0 ? subImages[0] : 0;
        text += TIFFReadEXIFDirectory(tif.get(), exif) ? tagsOf(tif.get()) : "no EXIF";
        text += TIFFReadGPSDirectory(tif.get(), gps) ? tagsOf(tif.get()) : "no GPS";
        return text + (TIFFSetSubDirectory(tif.get(), first) ? tagsOf(tif.get()) : "no sub-image");
    };
    EXPECT_EQ(linked(out), "1" + linked(in).substr(1));
}

} // namespace
} // namespace fendral::test
