#include "TempFolder.h"
#include "file_job.h"
#include "test_tiff.h"

#include <gtest/gtest.h>

namespace fendral::test {
namespace {

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
