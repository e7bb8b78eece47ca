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

// Strips too large to hold whole are read row by row, each plane on its own.
TEST_F(Keeping, LargeStripsCopyExactly) {
    const TestImage image = noisyImage(1700, 1800, 3, 8, false, 8);
    for (const bool planar : {false, true}) {
        writeTiff(
            in, {image},
            {PHOTOMETRIC_RGB, 0, planar, false, COMPRESSION_LZW, "w", [](TIFF*) {}, image.height});
        filterFile(in, out, {0, 10, 2});
        EXPECT_EQ(readTiff(out).at(0).samples, image.samples) << "planar " << planar;
    }
}

// EXIF and GPS directories and reduced-resolution sub-images live apart from their page; what
// cannot be carried is named.
TEST_F(Keeping, ExifGpsAndSubImages) {
    const TestImage image = noisyImage(40, 30, 3, 8, false, 9);
    const TestImage reduced = noisyImage(20, 15, 3, 8, false, 10);
    {
        TIFF* tif = TIFFOpen(in.c_str(), "w");
        std::uint64_t exif = 0, gps = 0;
        const std::uint16_t iso = 400;
        TIFFCreateEXIFDirectory(tif);
        TIFFSetField(tif, EXIFTAG_DATETIMEORIGINAL, "2024:06:07 10:11:12");
        TIFFSetField(tif, EXIFTAG_EXPOSURETIME, 0.125);
        TIFFSetField(tif, EXIFTAG_ISOSPEEDRATINGS, 1, &iso);
        TIFFWriteCustomDirectory(tif, &exif);
        TIFFFreeDirectory(tif); // libtiff leaks the last directory's values otherwise
        TIFFCreateGPSDirectory(tif);
        TIFFSetField(tif, GPSTAG_LATITUDEREF, "N");
        TIFFWriteCustomDirectory(tif, &gps);
        TIFFFreeDirectory(tif);
        TIFFCreateDirectory(tif);
        writePage(tif, image,
                  {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_NONE, "w", [&](TIFF* t) {
                       const std::uint64_t subImages[2] = {};
                       TIFFSetField(t, TIFFTAG_EXIFIFD, exif);
                       TIFFSetField(t, TIFFTAG_GPSIFD, gps);
                       TIFFSetField(t, TIFFTAG_SUBIFD, 2, subImages);
                   }});
        writePage(tif, reduced, {PHOTOMETRIC_RGB});
        writePage(tif, noisyImage(8, 8, 1, 16, false, 11), {PHOTOMETRIC_SEPARATED});
        TIFFClose(tif);
    }
    const JobSummary summary = filterFile(in, out, {2, 20, 2});
    EXPECT_EQ(
        summary.notKept,
        std::vector<std::string>{"page 1 sub-image 2 (CMYK (separated) images are not supported)"});
    TIFF* tif = TIFFOpen(out.c_str(), "r");
    std::uint64_t exif = 0, gps = 0;
    std::uint16_t subImages = 0;
    std::uint64_t* subImage = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_EXIFIFD, &exif) &&
                TIFFGetField(tif, TIFFTAG_GPSIFD, &gps));
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_SUBIFD, &subImages, &subImage));
    EXPECT_EQ(subImages, 1U);
    const std::uint64_t sub = subImage[0];
    char* taken = nullptr;
    float exposure = 0;
    std::uint16_t isoCount = 0;
    std::uint16_t* iso = nullptr;
    ASSERT_TRUE(TIFFReadEXIFDirectory(tif, exif));
    TIFFGetField(tif, EXIFTAG_DATETIMEORIGINAL, &taken);
    TIFFGetField(tif, EXIFTAG_EXPOSURETIME, &exposure);
    TIFFGetField(tif, EXIFTAG_ISOSPEEDRATINGS, &isoCount, &iso);
    EXPECT_EQ(std::tuple(std::string(taken), exposure, isoCount, iso[0]),
              std::tuple(std::string("2024:06:07 10:11:12"), 0.125F, 1, 400));
    char* latitude = nullptr;
    ASSERT_TRUE(TIFFReadGPSDirectory(tif, gps));
    TIFFGetField(tif, GPSTAG_LATITUDEREF, &latitude);
    EXPECT_EQ(std::string(latitude), "N");
    std::uint32_t subWidth = 0;
    ASSERT_TRUE(TIFFSetSubDirectory(tif, sub));
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &subWidth);
    EXPECT_EQ(subWidth, reduced.width);
    TIFFClose(tif);
    EXPECT_LE(largestDifference(readTiff(out).at(0), referenceFilter(image, 2, 20)), 1);
}

} // namespace
} // namespace fendral::test
