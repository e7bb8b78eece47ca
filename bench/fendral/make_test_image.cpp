// Writes a noisy RGB test picture of any size, row by row so that even 30000 x 30000 takes
// little memory: a gradient with a disc and a box, plus noise, the same on every run; as many
// pages of it as asked. Its samples are 8-bit, or after a colon 16-bit (":16") or 32-bit floating
// point in 0..1 (":float"). "sparse" writes instead a 16-bit RGBA Deflate page whose strips all
// have a byte count of 0 (no data, read as zeros): a tiny file for a page of any size.
// usage: bench_fendral_make_image OUT WIDTH HEIGHT none|lzw|deflate|sparse[:16|:float]
// ROWS_PER_STRIP|tile:SIDE [PAGES]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tiffio.h>
#include <vector>

namespace {

std::uint8_t level(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height,
                   int channel) {
    const double u = double(x) / width;
    const double v = double(y) / height;
    int value = channel == 0 ? 40 + int(120 * u) : channel == 1 ? 60 + int(90 * v) : 130;
    if ((u - 0.3) * (u - 0.3) + (v - 0.43) * (v - 0.43) * 0.5625 < 0.175 * 0.175) {
        value = channel == 0 ? 205 : channel == 1 ? 60 : 50;
    } else if (u > 0.52 && u < 0.9 && v > 0.13 && v < 0.47) {
        value = channel == 0 ? 50 : channel == 1 ? 165 : 85;
    }
    // A cheap hash of the place as noise of about +-24 levels.
    std::uint32_t hash = (x * 73856093U) ^ (y * 19349663U) ^ (std::uint32_t(channel) * 83492791U);
    hash ^= hash >> 13;
    hash *= 0x5bd1e995U;
    hash ^= hash >> 15;
    value += int(hash % 25) + int((hash >> 8) % 25) - 24;
    return std::uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

// "sparse" stands for itself: no compression is ever applied to its strips.
constexpr std::uint16_t sparse = 0xFFFF;

std::uint16_t compressionOf(const std::string& name) {
    return name == "lzw"       ? COMPRESSION_LZW
           : name == "deflate" ? COMPRESSION_ADOBE_DEFLATE
           : name == "sparse"  ? sparse
                               : COMPRESSION_NONE;
}

bool writeSparsePage(TIFF* tif, std::uint32_t width, std::uint32_t height, std::uint32_t rows) {
    const std::uint16_t alpha = EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &alpha);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);
    // The strips are set up, none written: their offsets and byte counts stay 0.
    return TIFFWriteCheck(tif, 0, "sparse") != 0 && TIFFWriteDirectory(tif) != 0;
}

struct Picture {
    std::uint32_t width, height;
    std::uint16_t compression;
    bool tiled;
    std::uint32_t block; // rows per strip, or the tile side
    int bits;            // 8, 16, or 32 for floating point
};

// Sample i of `samples` (of the picture's kind) set from an 8-bit level: 16-bit ones fill their
// low byte too, floating-point ones lie in 0..1.
void setSample(std::vector<std::uint8_t>& samples, std::size_t i, std::uint8_t level, int bits) {
    if (bits == 8) {
        samples[i] = level;
    } else if (bits == 16) {
        const auto value = static_cast<std::uint16_t>(level * 257);
        std::memcpy(&samples[i * 2], &value, 2);
    } else {
        const float value = static_cast<float>(level) / 255.0F;
        std::memcpy(&samples[i * 4], &value, 4);
    }
}

bool writePage(TIFF* tif, const Picture& picture) {
    const auto [width, height, compression, tiled, block, bits] = picture;
    const std::size_t bytes = static_cast<std::size_t>(bits / 8);
    if (compression == sparse) {
        return writeSparsePage(tif, width, height, block);
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, bits == 32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression != COMPRESSION_NONE) {
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    }
    const std::uint32_t bandHeight = tiled ? block : height;
    if (tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, block);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, block);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, block);
    }
    // Strips go row by row; tiles a band of tile rows at a time.
    std::vector<std::uint8_t> band(std::size_t{width} * 3 * bytes * (tiled ? block : 1));
    std::vector<std::uint8_t> tile(tiled ? std::size_t{block} * block * 3 * bytes : 0);
    bool ok = true;
    for (std::uint32_t y0 = 0; ok && y0 < height; y0 += tiled ? bandHeight : 1) {
        const std::uint32_t rows = tiled ? bandHeight : 1;
        for (std::uint32_t r = 0; r < rows; ++r) {
            for (std::uint32_t x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    setSample(band, (std::size_t{r} * width + x) * 3 + std::size_t(c),
                              y0 + r < height ? level(x, y0 + r, width, height, c) : 0, bits);
                }
            }
        }
        if (!tiled) {
            ok = TIFFWriteScanline(tif, band.data(), y0, 0) == 1;
            continue;
        }
        for (std::uint32_t x0 = 0; ok && x0 < width; x0 += block) {
            const std::size_t tileRow = std::size_t{block} * 3 * bytes;
            const std::size_t bandRow = std::size_t{width} * 3 * bytes;
            for (std::uint32_t r = 0; r < block; ++r) {
                for (std::size_t i = 0; i < tileRow; ++i) {
                    const std::size_t x = std::size_t{x0} * 3 * bytes + i;
                    tile[r * tileRow + i] = x < bandRow ? band[r * bandRow + x] : 0;
                }
            }
            ok = TIFFWriteTile(tif, tile.data(), x0, y0, 0, 0) >= 0;
        }
    }
    return ok && TIFFWriteDirectory(tif) != 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr,
                     "usage: bench_fendral_make_image OUT WIDTH HEIGHT "
                     "none|lzw|deflate|sparse[:16|:float] ROWS_PER_STRIP|tile:SIDE [PAGES]\n");
        return 2;
    }
    const std::string layout = argv[5];
    const std::string kind = argv[4];
    const std::size_t colon = kind.find(':');
    const std::string sampleKind = colon == std::string::npos ? "" : kind.substr(colon + 1);
    const bool tiled = layout.rfind("tile:", 0) == 0;
    const Picture picture{
        std::uint32_t(std::strtoul(argv[2], nullptr, 10)),
        std::uint32_t(std::strtoul(argv[3], nullptr, 10)),
        compressionOf(kind.substr(0, colon)),
        tiled,
        std::uint32_t(std::strtoul(layout.c_str() + (tiled ? 5 : 0), nullptr, 10)),
        sampleKind == "16"      ? 16
        : sampleKind == "float" ? 32
                                : 8};
    const unsigned long pages = argc == 7 ? std::strtoul(argv[6], nullptr, 10) : 1;
    const std::uint64_t bytes =
        std::uint64_t{picture.width} * picture.height * 3 * std::uint64_t(picture.bits / 8) * pages;
    TIFF* tif = TIFFOpen(argv[1], bytes > (3ULL << 30) ? "w8" : "w");
    if (tif == nullptr) {
        return 1;
    }
    bool ok = true;
    for (unsigned long page = 0; ok && page < pages; ++page) {
        ok = writePage(tif, picture);
    }
    TIFFClose(tif);
    return ok ? 0 : 1;
}
