#include "test_tiff.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>

namespace fendral::test {

namespace {

constexpr std::uint32_t tileSize = 16;

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

TiffPtr open(const std::string& path, const char* mode) {
    TIFFSetWarningHandler(nullptr); // the private tag some tests write is not news
    TiffPtr tif(TIFFOpen(path.c_str(), mode));
    if (!tif) {
        throw std::runtime_error("cannot open " + path);
    }
    return tif;
}

// Copies between an image and one block (a strip or tile of one plane or of all channels).
// Each of the block's pixels holds `perPixel` samples starting at `channel`.
void copyBlock(TestImage& image, std::vector<unsigned char>& block, std::uint32_t x0,
               std::uint32_t y0, std::uint32_t blockWidth, std::uint32_t blockHeight, int channel,
               int perPixel, bool toImage) {
    const int bytes = image.bits / 8;
    for (std::uint32_t y = y0; y < std::min(image.height, y0 + blockHeight); ++y) {
        for (std::uint32_t x = x0; x < std::min(image.width, x0 + blockWidth); ++x) {
            for (int c = 0; c < perPixel; ++c) {
                const std::size_t at =
                    (((y - y0) * blockWidth + (x - x0)) * static_cast<std::size_t>(perPixel) +
                     static_cast<std::size_t>(c)) *
                    static_cast<std::size_t>(bytes);
                std::uint16_t& sample = image.at(x, y, channel + c);
                unsigned char* raw = &block[at];
                // 16-bit samples are in native byte order: libtiff swaps them as needed.
                if (bytes == 1 && toImage) {
                    sample = raw[0];
                } else if (bytes == 1) {
                    raw[0] = static_cast<unsigned char>(sample);
                } else if (toImage) {
                    std::memcpy(&sample, raw, 2);
                } else {
                    std::memcpy(raw, &sample, 2);
                }
            }
        }
    }
}

// Visits every block of a page: (x0, y0, channel, perPixel, libtiff's block number).
template <typename Visit>
void forEachBlock(const TestImage& image, bool planar, std::uint32_t blockWidth,
                  std::uint32_t blockHeight, Visit visit) {
    const int planes = planar ? image.channels : 1;
    std::uint32_t index = 0;
    for (int plane = 0; plane < planes; ++plane) {
        for (std::uint32_t y = 0; y < image.height; y += blockHeight) {
            for (std::uint32_t x = 0; x < image.width; x += blockWidth) {
                visit(x, y, plane, planar ? 1 : image.channels, index++);
            }
        }
    }
}

} // namespace

TestImage noisyImage(std::uint32_t width, std::uint32_t height, int channels, int bits,
                     bool lastIsAlpha, unsigned seed) {
    TestImage image{width, height, channels, bits, {}};
    std::mt19937 random(seed);
    const std::uint32_t scale = bits == 8 ? 1 : 257;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const bool light = (x / 5 + y / 7) % 2 == 1;
            for (int c = 0; c < channels; ++c) {
                const int level =
                    (light ? 170 : 80) + 20 * c + static_cast<int>(random() % 41) - 20;
                std::uint32_t value = static_cast<std::uint32_t>(level) * scale + random() % scale;
                if (lastIsAlpha && c == channels - 1) {
                    const std::uint32_t pick = random() % 4;
                    value = pick == 0   ? 0
                            : pick == 1 ? image.maxValue()
                                        : random() % image.maxValue();
                }
                image.samples.push_back(static_cast<std::uint16_t>(value));
            }
        }
    }
    return image;
}

void writeTiff(const std::string& path, const std::vector<TestImage>& pages,
               const TiffLayout& layout) {
    const TiffPtr tif = open(path, layout.mode);
    for (const TestImage& page : pages) {
        writePage(tif.get(), page, layout);
    }
}

void writePage(TIFF* tif, TestImage page, const TiffLayout& layout) {
    const int colours = layout.photometric == PHOTOMETRIC_RGB ? 3 : 1;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.channels);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG,
                 layout.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    if (page.channels > colours) {
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &layout.extraSample);
    }
    TIFFSetField(tif, TIFFTAG_COMPRESSION, layout.compression);
    if (layout.compression == COMPRESSION_LZW || layout.compression == COMPRESSION_ADOBE_DEFLATE) {
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    }
    const std::uint32_t blockWidth = layout.tiled ? tileSize : page.width;
    const std::uint32_t blockHeight = layout.tiled ? tileSize : layout.stripRows;
    if (layout.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, tileSize);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, tileSize);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, layout.stripRows);
    }
    layout.tags(tif);
    std::vector<unsigned char> block(
        static_cast<std::size_t>(layout.tiled ? TIFFTileSize(tif) : TIFFStripSize(tif)));
    forEachBlock(
        page, layout.planar, blockWidth, blockHeight,
        [&](std::uint32_t x, std::uint32_t y, int channel, int perPixel, std::uint32_t index) {
            copyBlock(page, block, x, y, blockWidth, blockHeight, channel, perPixel, false);
            const tmsize_t size = layout.tiled
                                      ? TIFFTileSize(tif)
                                      : TIFFVStripSize(tif, std::min(blockHeight, page.height - y));
            const tmsize_t written = layout.tiled
                                         ? TIFFWriteEncodedTile(tif, index, block.data(), size)
                                         : TIFFWriteEncodedStrip(tif, index, block.data(), size);
            if (written < 0) {
                throw std::runtime_error(std::string("cannot write ") + TIFFFileName(tif));
            }
        });
    TIFFWriteDirectory(tif);
}

std::vector<TestImage> readTiff(const std::string& path) {
    std::vector<TestImage> pages;
    forEachPage(path, [&](TIFF* tif) {
        TestImage page;
        std::uint16_t channels = 1, bits = 8, planarConfig = PLANARCONFIG_CONTIG;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &channels);
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planarConfig);
        page.channels = channels;
        page.bits = bits;
        std::uint16_t photometric = 0;
        if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) &&
            photometric == PHOTOMETRIC_YCBCR) {
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        }
        page.samples.resize(std::size_t{page.width} * page.height * channels);
        const bool tiled = TIFFIsTiled(tif) != 0;
        std::uint32_t blockWidth = page.width, blockHeight = 0;
        TIFFGetFieldDefaulted(tif, tiled ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP, &blockHeight);
        if (tiled) {
            TIFFGetField(tif, TIFFTAG_TILEWIDTH, &blockWidth);
        }
        blockHeight = std::min(blockHeight, page.height);
        std::vector<unsigned char> block(
            static_cast<std::size_t>(tiled ? TIFFTileSize(tif) : TIFFStripSize(tif)));
        forEachBlock(
            page, planarConfig == PLANARCONFIG_SEPARATE, blockWidth, blockHeight,
            [&](std::uint32_t x, std::uint32_t y, int channel, int perPixel, std::uint32_t index) {
                const tmsize_t got = tiled ? TIFFReadEncodedTile(tif, index, block.data(), -1)
                                           : TIFFReadEncodedStrip(tif, index, block.data(), -1);
                if (got < 0) {
                    throw std::runtime_error("cannot read " + path);
                }
                copyBlock(page, block, x, y, blockWidth, blockHeight, channel, perPixel, true);
            });
        pages.push_back(std::move(page));
    });
    return pages;
}

int largestDifference(const TestImage& a, const TestImage& b) {
    if (a.samples.size() != b.samples.size()) {
        return INT_MAX;
    }
    int largest = 0;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        largest = std::max(largest, std::abs(int(a.samples[i]) - int(b.samples[i])));
    }
    return largest;
}

void forEachPage(const std::string& path, const std::function<void(TIFF*)>& look) {
    const TiffPtr tif = open(path, "r");
    do {
        look(tif.get());
    } while (TIFFReadDirectory(tif.get()) != 0);
}

} // namespace fendral::test
