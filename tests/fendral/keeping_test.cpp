#include "TempFolder.h"
#include "file_job.h"
#include "test_tiff.h"

#include <gtest/gtest.h>

namespace fendral::test {
namespace {

class Keeping : public testing::Test {
protected:
    fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
};

// Each page's descriptive tags, one libtiff does not know among them, the first page's EXIF and
// GPS directories and reduced-resolution sub-images come through; one that cannot (CMYK) is named.
TEST_F(Keeping, TagsExifGpsAndSubImages) {
    static const TIFFFieldInfo pixelScale{
        33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelPixelScale")};
    const std::string icc(300, 'c'), xmp = "<x:xmpmeta/>";
    const double scale[3] = {0.5, 0.25, 0};
    const std::uint16_t iso = 400;
    std::uint64_t exif = 0, gps = 0, subImages[2] = {};
    int page = 0;
    const auto tags = [&](TIFF* tif) {
        TIFFMergeFieldInfo(tif, &pixelScale, 1);
        TIFFSetField(tif, TIFFTAG_PAGENAME, ("page " + std::to_string(++page)).c_str());
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, std::uint32_t(icc.size()), icc.data());
        TIFFSetField(tif, TIFFTAG_XMLPACKET, std::uint32_t(xmp.size()), xmp.data());
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 150.0);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_RIGHTTOP);
        TIFFSetField(tif, TIFFTAG_ARTIST, "A. Painter");
        TIFFSetField(tif, 33550, 3, scale);
        if (page == 1) {
            TIFFSetField(tif, TIFFTAG_EXIFIFD, exif);
            TIFFSetField(tif, TIFFTAG_GPSIFD, gps);
            TIFFSetField(tif, TIFFTAG_SUBIFD, 2, subImages);
        }
    };
    {
        const TiffPtr tif = openTiff(in, "w");
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
        const TiffLayout rgb{PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_NONE, "w", tags};
        writePage(tif.get(), noisyImage(40, 30, 3), rgb);
        writePage(tif.get(), noisyImage(20, 15, 3), {PHOTOMETRIC_RGB});
        writePage(tif.get(), noisyImage(8, 8, 4), {PHOTOMETRIC_SEPARATED});
        writePage(tif.get(), noisyImage(17, 41, 3), rgb);
    }
    EXPECT_EQ(
        filterFile(in, out, {2, 20, 2}).notKept,
        std::vector<std::string>{"page 1 sub-image 2 (CMYK (separated) images are not supported)"});
    EXPECT_EQ(tagsOf(out), tagsOf(in));
    // The first page's linked directories, and how many sub-images it has.
    const auto linked = [](const std::string& path) {
        const TiffPtr tif = openTiff(path);
        std::uint64_t exifAt = 0, gpsAt = 0, *subAt = nullptr;
        std::uint16_t count = 0;
        TIFFGetField(tif.get(), TIFFTAG_EXIFIFD, &exifAt);
        TIFFGetField(tif.get(), TIFFTAG_GPSIFD, &gpsAt);
        TIFFGetField(tif.get(), TIFFTAG_SUBIFD, &count, &subAt);
        std::string text = std::to_string(count) + "\n";
        const std::uint64_t first = count > 0 ? subAt[0] : 0;
        text += TIFFReadEXIFDirectory(tif.get(), exifAt) ? tagsOf(tif.get()) : "no EXIF";
        text += TIFFReadGPSDirectory(tif.get(), gpsAt) ? tagsOf(tif.get()) : "no GPS";
        return text + (TIFFSetSubDirectory(tif.get(), first) ? tagsOf(tif.get()) : "no sub-image");
    };
    EXPECT_EQ(linked(out), "1" + linked(in).substr(1));
}

// Strips too large to hold whole are read row by row, each plane on its own.
TEST_F(Keeping, LargeStripsCopyExactly) {
    const TestImage image = noisyImage(1700, 1800, 3);
    for (const bool planar : {false, true}) {
        writeTiff(in, {image},
                  {PHOTOMETRIC_RGB, 0, planar, false, COMPRESSION_LZW, "w", [](TIFF* t) {
                       TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1800);
                   }});
        filterFile(in, out, {0, 10, 2});
        EXPECT_EQ(readTiff(out).at(0), image) << "planar " << planar;
    }
}

} // namespace
} // namespace fendral::test
