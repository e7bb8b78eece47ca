#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tiffio.h>

namespace fendral {

// What the extra sample after the colour channels (if any) means to the filter.
enum class ExtraSample {
    none,
    associatedAlpha,   // colour already multiplied by alpha
    unassociatedAlpha, // colour independent of alpha
    unspecified,       // unknown meaning: copied unchanged
};

// The layout of one page, as far as reading, filtering and writing it are concerned.
struct PageFormat {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitsPerSample = 8; // 8 or 16
    int colourChannels = 1;
    int channels = 1; // colour channels plus the extra sample
    ExtraSample extra = ExtraSample::none;
    bool planar = false;
    bool tiled = false;
    std::uint32_t blockWidth = 0;         // tile width, or the image width for strips
    std::uint32_t blockHeight = 0;        // tile length, or rows per strip; at most the height
    std::uint64_t largestStoredBlock = 0; // bytes, as the file holds it
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t compression = COMPRESSION_NONE;
    // Where the page is found and how messages name it; a reduced-resolution sub-image follows
    // its page, which counts them.
    std::uint64_t directory = 0;
    std::string place;
    bool isSubImage = false;
    std::uint16_t subImages = 0;

    int bytesPerSample() const { return bitsPerSample / 8; }
    std::uint32_t maxValue() const { return bitsPerSample == 8 ? 0xFFU : 0xFFFFU; }
    bool hasAlpha() const {
        return extra == ExtraSample::associatedAlpha || extra == ExtraSample::unassociatedAlpha;
    }
    // Bytes of one row with the channels interleaved, the way rows travel between the stages.
    std::size_t rowBytes() const {
        return std::size_t{width} * static_cast<std::size_t>(channels * bytesPerSample());
    }
};

// Reads the layout of the current directory; throws Failure naming what is not supported.
PageFormat describePage(TIFF* tif);

// The tile size an output can hold: TIFF wants tile sides in multiples of 16.
std::uint32_t writableTileSide(std::uint32_t side);

} // namespace fendral
