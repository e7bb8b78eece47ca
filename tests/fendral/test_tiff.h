#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tiffio.h>
#include <vector>

namespace fendral::test {

// A page: its samples, channels interleaved, 8- and 16-bit values alike held in 16 bits; and, as
// read from a file, its tags (see tagsOf).
struct TestImage {
    std::uint32_t width = 0, height = 0;
    int channels = 1, bits = 8;
    std::vector<std::uint16_t> samples;
    std::string tags;
    bool operator==(const TestImage&) const = default;
};

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

using TiffPtr = std::unique_ptr<TIFF, decltype(&TIFFClose)>;
TiffPtr openTiff(const std::string& path, const char* mode = "r");

// Two flat levels in a checker of odd-sized cells, with noise; any alpha channel mixes fully
// transparent, opaque and in-between pixels.
TestImage noisyImage(std::uint32_t width, std::uint32_t height, int channels, int bits = 8,
                     bool lastIsAlpha = false, unsigned seed = 1);
void writeTiff(const std::string& path, const std::vector<TestImage>& pages,
               const TiffLayout& layout = {});
// Writes one page (or sub-image) of an open file and its directory, with descriptive tags.
void writePage(TIFF* tif, TestImage page, const TiffLayout& layout);
std::vector<TestImage> readTiff(const std::string& path);

// The directory's tags as libtiff prints them, and the file's flavour; not where data lies nor
// how many rows a strip holds, which each writer chooses for itself.
std::string tagsOf(TIFF* tif);

} // namespace fendral::test
