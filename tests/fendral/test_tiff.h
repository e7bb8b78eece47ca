#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <tiffio.h>
#include <vector>

namespace fendral::test {

// Samples of one page, channels interleaved, 8- or 16-bit values alike held in 16 bits.
struct TestImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 1;
    int bits = 8;
    std::vector<std::uint16_t> samples;

    std::uint16_t& at(std::uint32_t x, std::uint32_t y, int channel) {
        return samples[(std::size_t{y} * width + x) * static_cast<std::size_t>(channels) +
                       static_cast<std::size_t>(channel)];
    }
    std::uint16_t at(std::uint32_t x, std::uint32_t y, int channel) const {
        return const_cast<TestImage&>(*this).at(x, y, channel);
    }
    std::uint32_t maxValue() const { return bits == 8 ? 0xFFU : 0xFFFFU; }
};

// How a test file is laid out; each page also gets `tags` called on it before its samples.
struct TiffLayout {
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t extraSample =
        EXTRASAMPLE_UNSPECIFIED; // when there are more channels than colours
    bool planar = false;
    bool tiled = false; // 16 x 16 tiles, else strips of stripRows rows
    std::uint16_t compression = COMPRESSION_NONE;
    const char* mode = "w";
    std::function<void(TIFF*)> tags = [](TIFF*) {
    };
    std::uint32_t stripRows = 16; // as JPEG wants
};

// Two flat levels in a checker of odd-sized cells, with noise; any alpha channel mixes fully
// transparent, opaque and in-between pixels.
TestImage noisyImage(std::uint32_t width, std::uint32_t height, int channels, int bits,
                     bool lastIsAlpha, unsigned seed);

void writeTiff(const std::string& path, const std::vector<TestImage>& pages,
               const TiffLayout& layout);
// Writes one page (or sub-image) of an open file and its directory.
void writePage(TIFF* tif, TestImage page, const TiffLayout& layout);
std::vector<TestImage> readTiff(const std::string& path);

int largestDifference(const TestImage& a, const TestImage& b);

// Calls look(tif) on every page of a file.
void forEachPage(const std::string& path, const std::function<void(TIFF*)>& look);

} // namespace fendral::test
