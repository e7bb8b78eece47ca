#pragma once

#include "block_grid.h"
#include "tiff_file.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fendral {

// Takes the rows of the page being written in order and encodes each block row (a band of strips
// or tiles) as soon as it is complete, so only one block row is held at a time.
class PageWriter {
public:
    // page is the output layout (see outputFormat).
    PageWriter(TiffFile& file, const PageFormat& page);

    // Takes row y, channels interleaved; rows come in order 0, 1, 2...
    void writeRow(std::uint32_t y, const std::byte* row);

private:
    void flush(std::uint32_t blockRow);

    TiffFile& file_;
    PageFormat page_;
    BlockGrid grid_;
    std::vector<std::byte> blocks_;
};

} // namespace fendral
