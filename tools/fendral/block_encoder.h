#pragma once

#include "page_format.h"
#include "tiff_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fendral {

// Compresses single blocks of an output page the way the page's own file would, each in a TIFF
// of its own in memory, so that several threads can compress at once; the file then takes the
// bytes as they are (TIFFWriteRawStrip). Not for JPEG, whose tables the file itself must make.
class BlockEncoder {
public:
    // Takes the page's compression settings from `file`, where they are already set.
    BlockEncoder(TiffFile& file, const PageFormat& page);

    // The compressed bytes of a block of `plane` holding `rows` rows.
    std::vector<std::byte> encode(const std::byte* data, std::size_t bytes, std::uint32_t rows,
                                  int plane) const;

private:
    std::string name_;
    PageFormat page_;
    const char* mode_; // the file's byte order, which 16-bit samples and predictors follow
    std::uint16_t predictor_ = PREDICTOR_NONE;
    std::vector<std::uint16_t> extraSamples_;
};

} // namespace fendral
