#include "TempFolder.h"
#include "file_job.h"
#include "reference_filter.h"

#include <gtest/gtest.h>

namespace fendral::test {
namespace {

struct Kind {
    const char* name;
    std::uint16_t photometric;
    int channels;
    int bits;
    Extra extra;
    bool planar;
    bool tiled;
    std::uint16_t compression;
};

const Kind kinds[] = {
    {"Grey8", PHOTOMETRIC_MINISBLACK, 1, 8, Extra::none, false, false, COMPRESSION_NONE},
    {"Grey16Tiled", PHOTOMETRIC_MINISBLACK, 1, 16, Extra::none, false, true, COMPRESSION_NONE},
    {"MinIsWhite8Lzw", PHOTOMETRIC_MINISWHITE, 1, 8, Extra::none, false, false, COMPRESSION_LZW},
    {"GreyAlpha8", PHOTOMETRIC_MINISBLACK, 2, 8, Extra::unassociatedAlpha, false, false,
     COMPRESSION_NONE},
    {"GreyPremultiplied16Planar", PHOTOMETRIC_MINISBLACK, 2, 16, Extra::associatedAlpha, true,
     false, COMPRESSION_ADOBE_DEFLATE},
    {"Rgb8PlanarTiled", PHOTOMETRIC_RGB, 3, 8, Extra::none, true, true, COMPRESSION_NONE},
    {"Rgb16Deflate", PHOTOMETRIC_RGB, 3, 16, Extra::none, false, false, COMPRESSION_ADOBE_DEFLATE},
    {"RgbPremultiplied8Tiled", PHOTOMETRIC_RGB, 4, 8, Extra::associatedAlpha, false, true,
     COMPRESSION_LZW},
    {"RgbAlpha16PlanarLzw", PHOTOMETRIC_RGB, 4, 16, Extra::unassociatedAlpha, true, false,
     COMPRESSION_LZW},
    {"RgbExtra8PackBits", PHOTOMETRIC_RGB, 4, 8, Extra::unspecified, false, false,
     COMPRESSION_PACKBITS},
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

std::uint16_t extraSampleTag(Extra extra) {
    return extra == Extra::associatedAlpha     ? EXTRASAMPLE_ASSOCALPHA
           : extra == Extra::unassociatedAlpha ? EXTRASAMPLE_UNASSALPHA
                                               : EXTRASAMPLE_UNSPECIFIED;
}

int largestDifference(const TestImage& a, const TestImage& b) {
    EXPECT_EQ(a.samples.size(), b.samples.size());
    int largest = 0;
    for (std::size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i) {
        largest = std::max(largest, std::abs(int(a.samples[i]) - int(b.samples[i])));
    }
    return largest;
}

class EveryKind : public testing::TestWithParam<Kind> {
protected:
    // Odd sizes leave partial tiles and strips; the height spans several chunks of rows.
    EveryKind()
        : image(noisyImage(37, 141, GetParam().channels, GetParam().bits,
                           GetParam().extra == Extra::associatedAlpha ||
                               GetParam().extra == Extra::unassociatedAlpha,
                           7)) {
        const Kind& kind = GetParam();
        writeTiff(in, {image},
                  {kind.photometric, extraSampleTag(kind.extra), kind.planar, kind.tiled,
                   kind.compression});
    }

    TestImage filtered(double radius, double maxDiff, unsigned threads) {
        filterFile(in, out, {radius, maxDiff, threads});
        return readTiff(out).at(0);
    }

    fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif";
    const std::string out = folder / "out.tif";
    TestImage image;
};

TEST_P(EveryKind, MatchesTheReferenceWithinOneLevel) {
    const struct {
        double radius, maxDiff;
        unsigned threads;
    } settings[] = {{1, 10, 1}, {2.5, 30, 2}, {1.5, 255, 3}, {7, 40, 2}};
    for (const auto& s : settings) {
        const TestImage want = referenceFilter(image, s.radius, s.maxDiff, GetParam().extra);
        EXPECT_LE(largestDifference(filtered(s.radius, s.maxDiff, s.threads), want), 1)
            << "radius " << s.radius << ", maxdiff " << s.maxDiff;
        EXPECT_GT(largestDifference(want, image), 1) << "the setting should change the image";
    }
}

TEST_P(EveryKind, RadiusBelowOneCopiesEverySample) {
    for (const double radius : {0.0, 0.5}) {
        EXPECT_EQ(filtered(radius, 255, 2).samples, image.samples) << "radius " << radius;
    }
}

INSTANTIATE_TEST_SUITE_P(Tiff, EveryKind, testing::ValuesIn(kinds),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace fendral::test
