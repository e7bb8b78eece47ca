// Writes the sample images the window lists at start: an 8-bit RGB picture and a 16-bit grey one,
// flat shapes with sharp edges under mild noise, so that the window's first settings (Radius 1,
// MaxDiff 10) visibly smooth the flat areas and leave the edges as they were. A fixed seed keeps
// every build's files identical.
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <tiffio.h>
#include <vector>

namespace {

constexpr int width = 320;
constexpr int height = 240;

struct Colour {
    int r, g, b, grey; // the grey picture's level, on the 8-bit scale
};

// Flat shapes on a flat ground; at every edge each channel steps by far more than MaxDiff 10.
Colour scene(int x, int y) {
    if ((x - 90) * (x - 90) + (y - 100) * (y - 100) < 55 * 55) {
        return {205, 60, 50, 130};
    }
    if (x > 170 && x < 290 && y > 30 && y < 110) {
        return {45, 165, 85, 185};
    }
    if (y > 140 && y < 225 && x > 150 + (225 - y) && x < 300 - (225 - y)) {
        return {230, 205, 70, 235};
    }
    return {75, 95, 135, 70};
}

// Bell-shaped noise with a standard deviation of about 3.5 levels (a sum of three uniform
// draws), the same on every platform (unlike std::normal_distribution): mostly within MaxDiff 10
// of a neighbour, so the filter evens it out.
int noise(std::mt19937& random) {
    int sum = 0;
    for (int draw = 0; draw < 3; ++draw) {
        sum += static_cast<int>(random() % 7) - 3;
    }
    return sum;
}

int clampLevel(int value) {
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

template <typename Sample>
bool writeTiff(const std::string& path, int channels, std::uint16_t compression,
               const std::vector<Sample>& samples) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (tif == nullptr) {
        return false;
    }
    const std::size_t rowSamples = std::size_t{width} * static_cast<std::size_t>(channels);
    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) &&
              TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, static_cast<int>(8 * sizeof(Sample))) &&
              TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels) &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                           channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, compression) &&
              TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) &&
              TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 16) &&
              TIFFSetField(tif, TIFFTAG_XRESOLUTION, 72.0) &&
              TIFFSetField(tif, TIFFTAG_YRESOLUTION, 72.0) &&
              TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
              TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, "Fendral sample: shapes with noise");
    for (int y = 0; ok && y < height; ++y) {
        auto* row = const_cast<Sample*>(samples.data() + static_cast<std::size_t>(y) * rowSamples);
        ok = TIFFWriteScanline(tif, row, static_cast<std::uint32_t>(y), 0) == 1;
    }
    TIFFClose(tif);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fendral_make_samples FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::mt19937 random(20240607);
    std::vector<std::uint8_t> rgb;
    std::vector<std::uint16_t> grey;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Colour colour = scene(x, y);
            for (const int level : {colour.r, colour.g, colour.b}) {
                rgb.push_back(static_cast<std::uint8_t>(clampLevel(level + noise(random))));
            }
            grey.push_back(
                static_cast<std::uint16_t>(clampLevel(colour.grey + noise(random)) * 257));
        }
    }
    if (!writeTiff(folder + "/sample-rgb.tif", 3, COMPRESSION_LZW, rgb) ||
        !writeTiff(folder + "/sample-grey16.tif", 1, COMPRESSION_ADOBE_DEFLATE, grey)) {
        std::fprintf(stderr, "fendral_make_samples: cannot write the samples in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
