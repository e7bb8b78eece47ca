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
    int extraSample;
    bool planar;
    bool tiled;
    std::uint16_t compression;
};

const Kind kinds[] = {
    {"Grey8", PHOTOMETRIC_MINISBLACK, 1, 8, noExtraSample, false, false, COMPRESSION_NONE},
    {"Grey16Tiled", PHOTOMETRIC_MINISBLACK, 1, 16, noExtraSample, false, true, COMPRESSION_NONE},
    {"MinIsWhite8Lzw", PHOTOMETRIC_MINISWHITE, 1, 8, noExtraSample, false, false, COMPRESSION_LZW},
    {"GreyAlpha8", PHOTOMETRIC_MINISBLACK, 2, 8, EXTRASAMPLE_UNASSALPHA, false, false,
     COMPRESSION_NONE},
    {"GreyPremultiplied16Planar", PHOTOMETRIC_MINISBLACK, 2, 16, EXTRASAMPLE_ASSOCALPHA, true,
     false, COMPRESSION_ADOBE_DEFLATE},
    {"Rgb8PlanarTiled", PHOTOMETRIC_RGB, 3, 8, noExtraSample, true, true, COMPRESSION_NONE},
    {"Rgb16Deflate", PHOTOMETRIC_RGB, 3, 16, noExtraSample, false, false,
     COMPRESSION_ADOBE_DEFLATE},
    {"RgbPremultiplied8Tiled", PHOTOMETRIC_RGB, 4, 8, EXTRASAMPLE_ASSOCALPHA, false, true,
     COMPRESSION_LZW},
    {"RgbAlpha16PlanarLzw", PHOTOMETRIC_RGB, 4, 16, EXTRASAMPLE_UNASSALPHA, true, false,
     COMPRESSION_LZW},
    {"RgbExtra8PackBits", PHOTOMETRIC_RGB, 4, 8, EXTRASAMPLE_UNSPECIFIED, false, false,
     COMPRESSION_PACKBITS},
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

class EveryKind : public testing::TestWithParam<Kind> {
protected:
    // Odd sizes leave partial tiles and strips; the height spans several chunks of rows.
    EveryKind()
        : image(noisyImage(37, 141, GetParam().channels, GetParam().bits,
                           GetParam().extraSample == EXTRASAMPLE_ASSOCALPHA ||
                               GetParam().extraSample == EXTRASAMPLE_UNASSALPHA,
                           7)) {
        const Kind& kind = GetParam();
        writeTiff(in, {image},
                  {kind.photometric, std::uint16_t(kind.extraSample), kind.planar, kind.tiled,
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
        const TestImage want = referenceFilter(image, s.radius, s.maxDiff, GetParam().extraSample);
        EXPECT_LE(largestDifference(filtered(s.radius, s.maxDiff, s.threads), want), 1)
            << "radius " << s.radius << ", maxdiff " << s.maxDiff;
        EXPECT_GT(largestDifference(want, image), 1) << "the setting should change the image";
    }
}

// Blocks decoded, filtered and encoded on several threads come out as on one.
TEST_P(EveryKind, ThreadsChangeNoSample) {
    EXPECT_EQ(filtered(2.5, 30, 3).samples, filtered(2.5, 30, 1).samples);
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
