#include "test_tiff.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fendral::test {

namespace {

// Moves a page's samples between the image and the file, every strip or tile at once.
void transfer(TIFF* tif, TestImage& image, bool toImage) {
    const bool tiled = TIFFIsTiled(tif) != 0;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t width = image.width, height = 0; // of a strip or tile
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &width);
    TIFFGetFieldDefaulted(tif, tiled ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP, &height);
    height = tiled ? height : std::min(height, image.height);
    const std::size_t channels = std::size_t(image.channels);
    const std::size_t perPixel = planar == PLANARCONFIG_SEPARATE ? 1 : channels;
    const std::size_t across = (image.width + width - 1) / width;
    const std::size_t down = (image.height + height - 1) / height;
    // Room for every sample, however libtiff packs those of pages that tests make unsupported.
    const std::size_t size = std::max(std::size_t(tiled ? TIFFTileSize(tif) : TIFFStripSize(tif)),
                                      std::size_t{width} * height * perPixel * 2);
    std::vector<unsigned char> file(across * down * channels / perPixel * size);
    const auto io = toImage ? (tiled ? TIFFReadEncodedTile : TIFFReadEncodedStrip)
                            : (tiled ? TIFFWriteEncodedTile : TIFFWriteEncodedStrip);
    const auto everyBlock = [&] {
        for (std::uint32_t b = 0; b < file.size() / size; ++b) {
            const auto rows =
                std::uint32_t(std::min<std::size_t>(height, image.height - b % down * height));
            if (io(tif, b, &file[b * size], tiled ? TIFFTileSize(tif) : TIFFVStripSize(tif, rows)) <
                0) {
                throw std::runtime_error(std::string("libtiff failed on ") + TIFFFileName(tif));
            }
        }
    };
    if (toImage) {
        everyBlock();
    }
    for (std::size_t i = 0; i < image.samples.size(); ++i) {
        const std::size_t x = i / channels % image.width, y = i / channels / image.width;
        const std::size_t block =
            (i % channels / perPixel * down + y / height) * across + x / width;
        unsigned char* raw = &file[block * size + ((y % height * width + x % width) * perPixel +
                                                   i % channels % perPixel) *
                                                      std::size_t(image.bits / 8)];
        std::uint16_t& sample = image.samples[i];
        if (image.bits == 16) { // in native byte order: libtiff swaps them
            toImage ? std::memcpy(&sample, raw, 2) : std::memcpy(raw, &sample, 2);
        } else {
            toImage ? void(sample = *raw) : void(*raw = static_cast<unsigned char>(sample));
        }
    }
    if (!toImage) {
        everyBlock();
    }
}

} // namespace

TiffPtr openTiff(const std::string& path, const char* mode) {
    // Quiet: tags that a page's codec lacks are set in vain, and failures throw.
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    TiffPtr tif(TIFFOpen(path.c_str(), mode), &TIFFClose);
    if (!tif) {
        throw std::runtime_error("cannot open " + path);
    }
    return tif;
}

TestImage noisyImage(std::uint32_t width, std::uint32_t height, int channels, int bits,
                     bool lastIsAlpha, unsigned seed) {
    TestImage image{width, height, channels, bits, {}, ""};
    std::mt19937 random(seed);
    const std::uint32_t scale = bits == 8 ? 1 : 257, max = bits == 8 ? 255 : 65535;
    for (std::uint32_t i = 0; i < width * height; ++i) {
        const bool light = (i % width / 5 + i / width / 7) % 2 == 1;
        for (int c = 0; c < channels; ++c) {
            const auto level = std::uint32_t((light ? 170 : 80) + 20 * c) + random() % 41 - 20;
            std::uint32_t value = level * scale + random() % scale;
            if (lastIsAlpha && c == channels - 1) { // transparent, opaque or in between
                value = std::array{0U, max, std::uint32_t(random() % max)}[random() % 3];
            }
            image.samples.push_back(static_cast<std::uint16_t>(value));
        }
    }
    return image;
}

void writeTiff(const std::string& path, const std::vector<TestImage>& pages,
               const TiffLayout& layout) {
    const TiffPtr tif = openTiff(path, layout.mode);
    for (const TestImage& page : pages) {
        writePage(tif.get(), page, layout);
    }
}

void writePage(TIFF* tif, TestImage page, const TiffLayout& layout) {
    // A predictor where the codec has one; if JPEG, YCbCr made from RGB.
    const std::pair<ttag_t, std::uint32_t> fields[] = {
        // clang-format off
        {TIFFTAG_IMAGEWIDTH, page.width}, {TIFFTAG_IMAGELENGTH, page.height},
        {TIFFTAG_BITSPERSAMPLE, page.bits}, {TIFFTAG_SAMPLESPERPIXEL, page.channels},
        {TIFFTAG_PHOTOMETRIC, layout.photometric}, {TIFFTAG_COMPRESSION, layout.compression},
        {TIFFTAG_PLANARCONFIG, layout.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG},
        {TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL}, {TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB},
        {layout.tiled ? TIFFTAG_TILEWIDTH : TIFFTAG_ROWSPERSTRIP, 16},
        {layout.tiled ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP, 16},
        {TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER}, {TIFFTAG_ORIENTATION, ORIENTATION_RIGHTTOP}};
    // clang-format on
    for (const auto& [tag, value] : fields) {
        TIFFSetField(tif, tag, value);
    }
    if (page.channels > (layout.photometric <= PHOTOMETRIC_MINISBLACK ? 1 : 3)) {
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &layout.extraSample);
    }
    if (layout.photometric == PHOTOMETRIC_YCBCR) { // not the defaults, which libtiff leaves out
        TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 1);
        TIFFSetField(tif, TIFFTAG_YCBCRPOSITIONING, YCBCRPOSITION_COSITED);
    }
    // Descriptive tags on every page, one that libtiff does not know among them, to be kept.
    static const TIFFFieldInfo pixelScale{
        33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelPixelScale")};
    static const double scale[3] = {0.5, 0.25, 0};
    static const std::string icc(300, 'c'), xmp = "<x:xmpmeta/>";
    TIFFMergeFieldInfo(tif, &pixelScale, 1);
    TIFFSetField(tif, 33550, 3, scale);
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, std::uint32_t(icc.size()), icc.data());
    TIFFSetField(tif, TIFFTAG_XMLPACKET, std::uint32_t(xmp.size()), xmp.data());
    TIFFSetField(tif, TIFFTAG_PAGENAME, std::to_string(page.width).c_str());
    TIFFSetField(tif, TIFFTAG_ARTIST, "A. Painter");
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 150.0);
    layout.tags(tif);
    transfer(tif, page, false);
    TIFFWriteDirectory(tif);
}

std::vector<TestImage> readTiff(const std::string& path) {
    std::vector<TestImage> pages;
    const TiffPtr tif = openTiff(path);
    do {
        TestImage& page = pages.emplace_back();
        std::uint16_t channels = 1, bits = 8;
        TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &page.height);
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &channels);
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFSetField(tif.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); // YCbCr as RGB, if JPEG
        page = {page.width,
                page.height,
                channels,
                bits,
                std::vector<std::uint16_t>(std::size_t{page.width} * page.height * channels),
                tagsOf(tif.get())};
        transfer(tif.get(), page, true);
    } while (TIFFReadDirectory(tif.get()) != 0);
    return pages;
}

std::string tagsOf(TIFF* tif) {
    char* printed = nullptr;
    std::size_t size = 0;
    FILE* stream = open_memstream(&printed, &size);
    TIFFPrintDirectory(tif, stream, 0);
    std::fclose(stream);
    std::istringstream lines(printed);
    std::free(printed);
    std::string text = std::to_string(TIFFIsBigTIFF(tif)) + std::to_string(TIFFIsBigEndian(tif));
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("TIFF Directory at") && !line.starts_with("  Rows/Strip") &&
            line.find("Offset") == std::string::npos) {
            text += '\n' + line;
        }
    }
    return text;
}

} // namespace fendral::test
