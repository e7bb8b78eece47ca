#include "test_tiff.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fendral::test {

namespace {

// Moves a page's samples between the image and the file, a scanline or a tile at a time, plane
// by plane: the order libtiff takes for any compression.
void transfer(TIFF* tif, TestImage& image, bool toImage) {
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t width = image.width, height = 1; // of a block: a scanline or a tile
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &height);
    const int perPixel = planar == PLANARCONFIG_SEPARATE ? 1 : image.channels;
    // Room for 32-bit samples, which some tests write as unsupported pages.
    std::vector<std::uint16_t> block(std::size_t{width} * height * std::size_t(image.channels) * 2);
    auto* narrow = reinterpret_cast<unsigned char*>(block.data());
    const auto tile = toImage ? TIFFReadTile : TIFFWriteTile;
    const auto line = toImage ? TIFFReadScanline : TIFFWriteScanline;
    for (int plane = 0; plane < image.channels; plane += perPixel) {
        for (std::uint32_t y0 = 0; y0 < image.height; y0 += height) {
            for (std::uint32_t x0 = 0; x0 < image.width; x0 += width) {
                const auto io = [&] {
                    const auto s = std::uint16_t(plane);
                    if ((TIFFIsTiled(tif) ? tile(tif, block.data(), x0, y0, 0, s)
                                          : line(tif, block.data(), y0, s)) < 0) {
                        throw std::runtime_error(std::string("libtiff failed on ") +
                                                 TIFFFileName(tif));
                    }
                };
                if (toImage) {
                    io();
                }
                for (std::size_t i = 0; i < std::size_t{width} * height * std::size_t(perPixel);
                     ++i) {
                    const std::uint32_t x = x0 + std::uint32_t(i / std::size_t(perPixel) % width);
                    const std::uint32_t y = y0 + std::uint32_t(i / std::size_t(perPixel) / width);
                    if (x >= image.width || y >= image.height) {
                        continue;
                    }
                    std::uint16_t& sample = image.at(x, y, plane + int(i % std::size_t(perPixel)));
                    if (image.bits == 16) { // in native byte order: libtiff swaps them
                        (toImage ? sample : block[i]) = toImage ? block[i] : sample;
                    } else if (toImage) {
                        sample = narrow[i];
                    } else {
                        narrow[i] = static_cast<unsigned char>(sample);
                    }
                }
                if (!toImage) {
                    io();
                }
            }
        }
    }
}

void forEachPage(const std::string& path, const std::function<void(TIFF*)>& look) {
    const TiffPtr tif = openTiff(path);
    do {
        look(tif.get());
    } while (TIFFReadDirectory(tif.get()) != 0);
}

} // namespace

TiffPtr openTiff(const std::string& path, const char* mode) {
    // Quiet: the tags that a layout's codec lacks are set in vain, and failures throw.
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
    TestImage image{width, height, channels, bits, {}};
    std::mt19937 random(seed);
    const std::uint32_t scale = bits == 8 ? 1 : 257, max = bits == 8 ? 255 : 65535;
    for (std::uint32_t i = 0; i < width * height; ++i) {
        const bool light = (i % width / 5 + i / width / 7) % 2 == 1;
        for (int c = 0; c < channels; ++c) {
            const auto level = std::uint32_t((light ? 170 : 80) + 20 * c) + random() % 41 - 20;
            std::uint32_t value = level * scale + random() % scale;
            if (lastIsAlpha && c == channels - 1) {
                const std::uint32_t pick = random() % 4;
                value = pick == 0 ? 0 : pick == 1 ? max : random() % max;
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
    const std::pair<ttag_t, std::uint32_t> fields[] = {
        {TIFFTAG_IMAGEWIDTH, page.width},
        {TIFFTAG_IMAGELENGTH, page.height},
        {TIFFTAG_BITSPERSAMPLE, page.bits},
        {TIFFTAG_SAMPLESPERPIXEL, page.channels},
        {TIFFTAG_PHOTOMETRIC, layout.photometric},
        {TIFFTAG_PLANARCONFIG, layout.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG},
        {TIFFTAG_COMPRESSION, layout.compression},
        {TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL},  // where the codec has one
        {TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB}, // YCbCr made from RGB, if JPEG
        {layout.tiled ? TIFFTAG_TILEWIDTH : TIFFTAG_ROWSPERSTRIP, 16},
        {layout.tiled ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP, 16},
    };
    for (const auto& [tag, value] : fields) {
        TIFFSetField(tif, tag, value);
    }
    if (page.channels > (layout.photometric <= PHOTOMETRIC_MINISBLACK ? 1 : 3)) {
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &layout.extraSample);
    }
    if (layout.photometric == PHOTOMETRIC_YCBCR) { // not libtiff's defaults, which it leaves out
        TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 1);
        TIFFSetField(tif, TIFFTAG_YCBCRPOSITIONING, YCBCRPOSITION_COSITED);
    }
    layout.tags(tif);
    transfer(tif, page, false);
    TIFFWriteDirectory(tif);
}

std::vector<TestImage> readTiff(const std::string& path) {
    std::vector<TestImage> pages;
    forEachPage(path, [&](TIFF* tif) {
        TestImage& page = pages.emplace_back();
        std::uint16_t channels = 1, bits = 8;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &channels);
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); // YCbCr as RGB, if JPEG
        page.channels = channels;
        page.bits = bits;
        page.samples.resize(std::size_t{page.width} * page.height * channels);
        transfer(tif, page, true);
    });
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

std::string tagsOf(const std::string& path) {
    std::string text;
    forEachPage(path, [&](TIFF* tif) { text += tagsOf(tif) + '\n'; });
    return text;
}

} // namespace fendral::test
