#pragma once

#include "block_grid.h"
#include "tiff_file.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fendral {

// Hands out the rows of the current page one at a time, decoding a block row (a band of strips
// or tiles) only when a row needs it, so only one block row is held at a time.
class PageReader {
public:
    PageReader(TiffFile& file, const PageFormat& page);

    // Copies row y, channels interleaved, to row (page.rowBytes() bytes).
    void readRow(std::uint32_t y, std::byte* row);

private:
    void load(std::uint32_t blockRow);

    TiffFile& file_;
    PageFormat page_;
    BlockGrid grid_;
    std::vector<std::byte> blocks_;
    std::uint32_t loaded_ = UINT32_MAX;
};

} // namespace fendral
