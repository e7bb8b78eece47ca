#include "TempFolder.h"
#include "file_job.h"
#include "reference_filter.h"

#include <gtest/gtest.h>

namespace fendral::test {
namespace {

class Keeping : public testing::Test {
protected:
    void filter(const std::vector<TestImage>& pages, const TiffLayout& layout) {
        writeTiff(in, pages, layout);
        filterFile(in, out, {2, 20, 2});
    }

    fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif";
    const std::string out = folder / "out.tif";
};

TEST_F(Keeping, EveryPageIsFilteredWithItsOwnName) {
    const std::vector<TestImage> pages{noisyImage(30, 20, 3, 8, false, 1),
                                       noisyImage(17, 41, 3, 8, false, 2)};
    int written = 0;
    filter(pages, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNSPECIFIED, false, false, COMPRESSION_NONE, "w",
                   [&](TIFF* tif) {
                       TIFFSetField(tif, TIFFTAG_PAGENAME,
                                    ("page " + std::to_string(++written)).c_str());
                   }});
    const std::vector<TestImage> result = readTiff(out);
    ASSERT_EQ(result.size(), 2U);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_LE(largestDifference(result[i], referenceFilter(pages[i], 2, 20)), 1)
            << "page " << i + 1;
    }
    std::vector<std::string> names;
    forEachPage(out, [&](TIFF* tif) {
        char* name = nullptr;
        TIFFGetField(tif, TIFFTAG_PAGENAME, &name);
        names.emplace_back(name != nullptr ? name : "");
    });
    EXPECT_EQ(names, (std::vector<std::string>{"page 1", "page 2"}));
}

TEST_F(Keeping, DescriptiveTagsIncludingPrivateOnes) {
    static const TIFFFieldInfo pixelScale{
        33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelPixelScale")};
    const std::string icc(300, 'c');
    const std::string xmp = "<x:xmpmeta/>";
    const double scale[3] = {0.5, 0.25, 0};
    filter({noisyImage(20, 10, 3, 8, false, 3)},
           {PHOTOMETRIC_RGB, EXTRASAMPLE_UNSPECIFIED, false, false, COMPRESSION_NONE, "w",
            [&](TIFF* tif) {
                TIFFMergeFieldInfo(tif, &pixelScale, 1);
                TIFFSetField(tif, TIFFTAG_ICCPROFILE, std::uint32_t(icc.size()), icc.data());
                TIFFSetField(tif, TIFFTAG_XMLPACKET, std::uint32_t(xmp.size()), xmp.data());
                TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
                TIFFSetField(tif, TIFFTAG_YRESOLUTION, 150.0);
                TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
                TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_RIGHTTOP);
                TIFFSetField(tif, TIFFTAG_ARTIST, "A. Painter");
                TIFFSetField(tif, 33550, 3, scale);
            }});
    forEachPage(out, [&](TIFF* tif) {
        const auto counted = [&](std::uint32_t tag, std::size_t itemSize = 1) {
            std::uint32_t count = 0;
            char* data = nullptr;
            return TIFFGetField(tif, tag, &count, &data) ? std::string(data, count * itemSize) : "";
        };
        EXPECT_EQ(counted(TIFFTAG_ICCPROFILE), icc);
        EXPECT_EQ(counted(TIFFTAG_XMLPACKET), xmp);
        EXPECT_EQ(counted(33550, sizeof(double)),
                  std::string(reinterpret_cast<const char*>(scale), sizeof scale));
        float x = 0, y = 0;
        std::uint16_t unit = 0, orientation = 0;
        char* artist = nullptr;
        TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x);
        TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y);
        TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation);
        TIFFGetField(tif, TIFFTAG_ARTIST, &artist);
        EXPECT_EQ(std::tuple(x, y, unit, orientation, std::string(artist ? artist : "")),
                  std::tuple(300.0F, 150.0F, std::uint16_t{RESUNIT_CENTIMETER},
                             std::uint16_t{ORIENTATION_RIGHTTOP}, std::string("A. Painter")));
    });
}

// JPEG-compressed YCbCr is filtered as RGB and written back as YCbCr.
TEST_F(Keeping, CompressionLayoutAndFileFlavour) {
    const struct {
        std::uint16_t compression, photometric;
        bool planar, tiled;
        const char* mode;
    } cases[] = {{COMPRESSION_LZW, PHOTOMETRIC_RGB, false, false, "w"},
                 {COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_RGB, true, false, "w"},
                 {COMPRESSION_PACKBITS, PHOTOMETRIC_RGB, false, true, "w"},
                 {COMPRESSION_JPEG, PHOTOMETRIC_RGB, false, false, "w"},
                 {COMPRESSION_JPEG, PHOTOMETRIC_YCBCR, false, true, "w"},
                 {COMPRESSION_NONE, PHOTOMETRIC_RGB, true, true, "wb8"}};
    for (const auto& c : cases) {
        const TestImage image = noisyImage(40, 33, 3, 8, false, 4);
        filter({image},
               {c.photometric, 0, c.planar, c.tiled, c.compression, c.mode, [&](TIFF* tif) {
                    if (c.compression == COMPRESSION_JPEG) {
                        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
                    }
                }});
        forEachPage(out, [&](TIFF* tif) {
            std::uint16_t compression = 0, photometric = 0, predictor = PREDICTOR_NONE, planar = 0;
            std::uint32_t tileWidth = 0;
            TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
            TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
            TIFFGetField(tif, TIFFTAG_PREDICTOR, &predictor);
            TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &planar);
            TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
            EXPECT_EQ(std::tuple(compression, photometric),
                      std::tuple(c.compression, c.photometric));
            EXPECT_EQ(predictor == PREDICTOR_HORIZONTAL,
                      c.compression == COMPRESSION_LZW ||
                          c.compression == COMPRESSION_ADOBE_DEFLATE);
            EXPECT_EQ(planar == PLANARCONFIG_SEPARATE, c.planar);
            EXPECT_EQ(tileWidth, c.tiled ? 16U : 0U);
            const bool bigTiff = std::string(c.mode) == "wb8";
            EXPECT_EQ(TIFFIsBigTIFF(tif) != 0, bigTiff);
            EXPECT_EQ(TIFFIsBigEndian(tif) != 0, bigTiff);
        });
        const TestImage want = referenceFilter(image, 2, 20);
        const TestImage got = readTiff(out).at(0);
        double total = 0;
        for (std::size_t i = 0; i < want.samples.size(); ++i) {
            total += std::abs(int(got.samples[i]) - int(want.samples[i]));
        }
        // Within what two JPEG passes lose, or all but exact.
        EXPECT_LT(total / double(want.samples.size()), c.compression == COMPRESSION_JPEG ? 16 : 0.1)
            << "compression " << c.compression << ", photometric " << c.photometric;
    }
}

} // namespace
} // namespace fendral::test
