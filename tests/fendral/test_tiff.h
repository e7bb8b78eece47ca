#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tiffio.h>
#include <type_traits>
#include <vector>

namespace fendral::test {

// A page: its samples, channels interleaved, every kind held as a double; and, as read from a
// file, its tags (see tagsOf).
struct TestImage {
    std::uint32_t width = 0, height = 0;
    std::uint16_t channels = 1, bits = 8;
    std::vector<double> samples;
    std::string tags;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    bool operator==(const TestImage&) const = default;
};

// IEEE half precision, for the values tests use: nought, or normal ones it holds exactly.
inline double fromHalf(std::uint16_t half) {
    const int exponent = half >> 10 & 0x1F, mantissa = half & 0x3FF;
    const double value = exponent == 0    ? std::ldexp(mantissa, -24)
                         : exponent == 31 ? (mantissa != 0 ? NAN : INFINITY)
                                          : std::ldexp(1024 + mantissa, exponent - 25);
    return (half & 0x8000) != 0 ? -value : value;
}
inline std::uint16_t toHalf(double value) {
    int exponent = 0;
    const double fraction = std::frexp(std::abs(value), &exponent); // 0.5 <= fraction < 1
    const auto sign = std::uint16_t(std::signbit(value) ? 0x8000 : 0);
    return value == 0 ? sign
                      : std::uint16_t(sign | (exponent + 14) << 10 |
                                      std::uint16_t(std::lround((fraction * 2 - 1) * 1024)));
}

// A sample of `bits` bits, of TIFF's sample format, in native byte order, to a double and back.
template <typename Sample>
double loaded(const unsigned char* raw) {
    Sample sample;
    std::memcpy(&sample, raw, sizeof sample);
    return double(sample);
}
template <typename Sample>
void stored(unsigned char* raw, double value) {
    const auto sample = static_cast<Sample>(value);
    std::memcpy(raw, &sample, sizeof sample);
}
template <typename Sample>
void moveAs(unsigned char* raw, double& sample, bool toImage) {
    toImage ? void(sample = loaded<Sample>(raw)) : stored<Sample>(raw, sample);
}
inline void moveSample(unsigned char* raw, int shift, const TestImage& image, double& sample,
                       bool toImage) {
    const int bits = image.format == SAMPLEFORMAT_INT ? -image.bits : image.bits;
    if (image.bits < 8) {
        const int mask = (1 << image.bits) - 1;
        toImage ? void(sample = *raw >> shift & mask)
                : void(*raw = static_cast<unsigned char>(*raw | int(sample) << shift));
    } else if (image.format == SAMPLEFORMAT_IEEEFP && image.bits == 16) {
        toImage ? void(sample = fromHalf(std::uint16_t(loaded<std::uint16_t>(raw))))
                : stored<std::uint16_t>(raw, toHalf(sample));
    } else if (image.format == SAMPLEFORMAT_IEEEFP) {
        image.bits == 32 ? moveAs<float>(raw, sample, toImage)
                         : moveAs<double>(raw, sample, toImage);
    } else {
        bits == 8     ? moveAs<std::uint8_t>(raw, sample, toImage)
        : bits == -8  ? moveAs<std::int8_t>(raw, sample, toImage)
        : bits == 16  ? moveAs<std::uint16_t>(raw, sample, toImage)
        : bits == -16 ? moveAs<std::int16_t>(raw, sample, toImage)
        : bits == 32  ? moveAs<std::uint32_t>(raw, sample, toImage)
        : bits == -32 ? moveAs<std::int32_t>(raw, sample, toImage)
                      : void();
    }
}

// How a test file is laid out; `tags` is called on each page before its samples are written.
struct TiffLayout {
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t extraSample = EXTRASAMPLE_UNSPECIFIED; // of a channel beyond the colours
    bool planar = false;
    bool tiled = false; // 16 x 16 tiles, else strips of 16 rows
    std::uint16_t compression = COMPRESSION_NONE;
    const char* mode = "w";
    std::function<void(TIFF*)> tags = [](TIFF*) {
    };
};

// Moves a page's samples between the image and the file, every strip or tile at once.
inline void transfer(TIFF* tif, TestImage& image, bool toImage) {
    const bool tiled = TIFFIsTiled(tif) != 0;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t width = image.width, height = 0; // of a strip or tile
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &width);
    TIFFGetFieldDefaulted(tif, tiled ? TIFFTAG_TILELENGTH : TIFFTAG_ROWSPERSTRIP, &height);
    height = tiled ? height : std::min(height, image.height);
    const std::size_t channels = image.channels;
    const std::size_t perPixel = planar == PLANARCONFIG_SEPARATE ? 1 : channels;
    const std::size_t across = (image.width + width - 1) / width;
    const std::uint32_t down = (image.height + height - 1) / height;
    const auto size = std::size_t(tiled ? TIFFTileSize(tif) : TIFFStripSize(tif));
    std::vector<unsigned char> file(across * down * channels / perPixel * size, 0);
    const auto io = toImage ? (tiled ? TIFFReadEncodedTile : TIFFReadEncodedStrip)
                            : (tiled ? TIFFWriteEncodedTile : TIFFWriteEncodedStrip);
    const auto everyBlock = [&] {
        for (std::uint32_t b = 0; b < file.size() / size; ++b) {
            const tmsize_t bytes =
                tiled ? TIFFTileSize(tif)
                      : TIFFVStripSize(tif, std::min(height, image.height - b % down * height));
            if (io(tif, b, &file[b * size], bytes) < 0) {
                throw std::runtime_error(std::string("libtiff failed on ") + TIFFFileName(tif));
            }
        }
    };
    // Rows of a block start on a byte; samples of fewer bits fill each byte from its top.
    const std::size_t rowBytes = (width * perPixel * image.bits + 7) / 8;
    const auto everySample = [&] {
        for (std::size_t i = 0; i < image.samples.size(); ++i) {
            const std::size_t x = i / channels % image.width, y = i / channels / image.width;
            const std::size_t c = i % channels, block = (c / perPixel * down + y / height) * across;
            const std::size_t bit = (x % width * perPixel + c % perPixel) * image.bits;
            unsigned char* raw =
                &file[(block + x / width) * size + y % height * rowBytes + bit / 8];
            // In native byte order: libtiff swaps them.
            moveSample(raw, 8 - image.bits - int(bit % 8), image, image.samples[i], toImage);
        }
    };
    // Blocks are read before their samples are taken, and written after they are filled.
    toImage ? (everyBlock(), everySample()) : (everySample(), everyBlock());
}

using TiffPtr = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

inline TiffPtr openTiff(const std::string& path, const char* mode = "r") {
    // Quiet: tags that a page's codec lacks are set in vain, and failures throw.
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    TiffPtr tif(TIFFOpen(path.c_str(), mode), &TIFFClose);
    if (!tif) {
        throw std::runtime_error("cannot open " + path);
    }
    return tif;
}

// The directory's tags as libtiff prints them, and the file's flavour; not where data lies nor
// how many rows a strip holds, which each writer chooses for itself.
inline std::string tagsOf(TIFF* tif) {
    FILE* printed = std::tmpfile();
    TIFFPrintDirectory(tif, printed, 0);
    std::rewind(printed);
    std::string tags = std::to_string(TIFFIsBigTIFF(tif)) + std::to_string(TIFFIsBigEndian(tif));
    for (char line[256]; std::fgets(line, sizeof line, printed) != nullptr;) {
        const std::string_view text(line);
        if (!text.starts_with("TIFF Directory at") && !text.starts_with("  Rows/Strip") &&
            text.find("Offset") == text.npos) {
            tags += text;
        }
    }
    std::fclose(printed);
    return tags;
}

// Two flat levels in a checker of odd-sized cells, with noise; any alpha channel mixes fully
// transparent, opaque and in-between pixels.
inline TestImage noisyImage(std::uint32_t width, std::uint32_t height, std::uint16_t channels,
                            std::uint16_t bits = 8, bool lastIsAlpha = false, unsigned seed = 1) {
    TestImage image{width, height, channels, bits, {}, ""};
    std::mt19937 random(seed);
    const std::uint32_t scale = bits == 8 ? 1 : 257, max = bits == 8 ? 255 : 65535;
    for (std::uint32_t i = 0; i < width * height * channels; ++i) {
        const std::uint32_t x = i / channels % width, y = i / channels / width, c = i % channels;
        const std::uint32_t level = ((x / 5 + y / 7) % 2 == 1 ? 170 : 80) + 20 * c - 20;
        std::uint32_t value = (level + std::uint32_t(random() % 41)) * scale;
        value += random() % scale;
        if (lastIsAlpha && c == channels - 1U) { // transparent, opaque or in between
            value = std::array{0U, max, std::uint32_t(random() % max)}[random() % 3];
        }
        image.samples.push_back(value);
    }
    return image;
}

// The image as another kind of sample: each value's place between 0 and 65535 (see noisyImage)
// put between low and high, rounded unless floating point.
inline TestImage asKind(TestImage image, std::uint16_t bits, std::uint16_t format, double low,
                        double high) {
    const double from = (1 << image.bits) - 1;
    for (double& sample : image.samples) {
        sample = low + sample / from * (high - low);
        sample = format == SAMPLEFORMAT_IEEEFP ? sample : std::round(sample);
    }
    image.bits = bits;
    image.format = format;
    return image;
}

// Writes a page (or sub-image) with descriptive tags, and its directory.
inline void writePage(TIFF* tif, TestImage page, const TiffLayout& layout) {
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
    // The first extra sample as the layout says, any others unspecified.
    const int colours = layout.photometric <= PHOTOMETRIC_MINISBLACK  ? 1
                        : layout.photometric == PHOTOMETRIC_SEPARATED ? 4
                                                                      : 3;
    if (page.channels > colours) {
        std::vector<std::uint16_t> extra(std::size_t(page.channels - colours),
                                         EXTRASAMPLE_UNSPECIFIED);
        extra[0] = layout.extraSample;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, std::uint16_t(extra.size()), extra.data());
    }
    if (page.format != SAMPLEFORMAT_UINT) { // the default, which most writers leave out
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, page.format);
    }
    if (layout.photometric == PHOTOMETRIC_YCBCR) { // not the defaults, which libtiff leaves out
        TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
        TIFFSetField(tif, TIFFTAG_YCBCRPOSITIONING, YCBCRPOSITION_COSITED);
    }
    // Descriptive tags on every page, one that libtiff does not know among them, to be kept.
    static const TIFFFieldInfo pixelScale{
        33550, -1, -1, TIFF_DOUBLE, FIELD_CUSTOM, 1, 1, const_cast<char*>("ModelPixelScale")};
    static const double scale[3] = {0.5, 0.25, 0};
    TIFFMergeFieldInfo(tif, &pixelScale, 1);
    TIFFSetField(tif, 33550, 3, scale);
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, 3U, "icc");
    TIFFSetField(tif, TIFFTAG_XMLPACKET, 12U, "<x:xmpmeta/>");
    TIFFSetField(tif, TIFFTAG_PAGENAME, std::to_string(page.width).c_str());
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
    layout.tags(tif);
    transfer(tif, page, false);
    TIFFWriteDirectory(tif);
}

inline void writeTiff(const std::string& path, const std::vector<TestImage>& pages,
                      const TiffLayout& layout = {}) {
    const TiffPtr tif = openTiff(path, layout.mode);
    for (const TestImage& page : pages) {
        writePage(tif.get(), page, layout);
    }
}

inline std::vector<TestImage> readTiff(const std::string& path) {
    std::vector<TestImage> pages;
    const TiffPtr tif = openTiff(path);
    do {
        TestImage& page = pages.emplace_back();
        TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &page.width);
        TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &page.height);
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &page.channels);
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &page.bits);
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLEFORMAT, &page.format);
        TIFFSetField(tif.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); // YCbCr as RGB, if JPEG
        page.samples.resize(std::size_t{page.width} * page.height * page.channels);
        page.tags = tagsOf(tif.get());
        transfer(tif.get(), page, true);
    } while (TIFFReadDirectory(tif.get()) != 0);
    return pages;
}

// As patchTag's index: the number of values the tag has.
constexpr std::uint32_t countOfValues = 0xFFFFFFFF;

// Sets value `index` of a tag (one of SHORT or LONG values) of the first page of a little-endian
// classic TIFF, or its count of values: how hostile files are made.
inline void patchTag(const std::string& path, std::uint16_t tag, std::uint32_t value,
                     std::uint32_t index = 0) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    const auto number = [&](std::uint32_t at, int bytes) {
        std::uint32_t read = 0;
        file.seekg(at).read(reinterpret_cast<char*>(&read), bytes);
        return read;
    };
    std::uint32_t entry = number(4, 4) + 2; // the first of the page's directory
    while (file && number(entry, 2) != tag) {
        entry += 12;
    }
    if (index == countOfValues) {
        file.seekp(entry + 4).write(reinterpret_cast<const char*>(&value), 4);
        return;
    }
    const int size = number(entry + 2, 2) == TIFF_SHORT ? 2 : 4;
    const std::uint32_t at = number(entry + 4, 4) * size <= 4 ? entry + 8 : number(entry + 8, 4);
    file.seekp(at + index * size).write(reinterpret_cast<const char*>(&value), size);
}

} // namespace fendral::test
