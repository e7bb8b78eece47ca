#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tiffio.h>
#include <vector>

namespace fendral {

// What the first extra sample after the colour channels (if any) means to the filter; any others
// pass through unchanged.
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
    int bitsPerSample = 8; // as the file holds them: 2 to 64; a palette's, its indices'
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    // Bytes a sample takes in the rows between the stages (see SampleForm): a byte for 2 and 4
    // bits and for signed samples their unsigned twins, 4 for 16-bit floating point, and a
    // palette's colours at 8 or 16 bits.
    int ringBytes = 1;
    // The range MAXDIFF's 0..255 maps onto, and alpha's 0..1 (signed samples, held as their
    // unsigned twins, count from 0).
    double scaleMin = 0;
    double scaleMax = 255;
    int colourChannels = 1;
    int channels = 1; // colour channels plus the extra samples; a palette's three colours
    ExtraSample extra = ExtraSample::none;
    bool planar = false;
    bool tiled = false;
    std::uint32_t blockWidth = 0;         // tile width, or the image width for strips
    std::uint32_t blockHeight = 0;        // tile length, or rows per strip; at most the height
    std::uint64_t largestStoredBlock = 0; // bytes, as the file holds it
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::vector<std::uint16_t> colourMap; // a palette's red, green and blue, one after another
    std::uint16_t compression = COMPRESSION_NONE;
    // Where the page is found and how messages name it; a reduced-resolution sub-image follows
    // its page, which counts them.
    std::uint64_t directory = 0;
    std::string place;
    bool isSubImage = false;
    std::uint16_t subImages = 0;

    int bytesPerSample() const { return ringBytes; }
    std::uint32_t maxValue() const { return static_cast<std::uint32_t>(scaleMax); }
    bool floating() const { return sampleFormat == SAMPLEFORMAT_IEEEFP; }
    // 32-bit integers and 64-bit floating point are filtered in double precision: a float holds
    // 24 bits. 8- and 16-bit integers take the fast path, in floats.
    bool widePlanes() const { return ringBytes == 8 || (ringBytes == 4 && !floating()); }
    bool levels() const { return ringBytes <= 2; }
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
