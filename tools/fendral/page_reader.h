#pragma once

#include "block_grid.h"
#include "tiff_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace fendral {

// Hands out the rows of one page in order, decoding a block row (a band of strips or tiles) only
// when a row needs it, so only one block row is held at a time. Strips too large for that are
// decoded row by row, one handle per plane so that each plane's decoder only moves forward.
class PageReader {
public:
    // open gives a new handle on the input file.
    PageReader(const std::function<std::unique_ptr<TiffFile>()>& open, const PageFormat& page);

    // Copies row y, channels interleaved, to row (page.rowBytes() bytes).
    void readRow(std::uint32_t y, std::byte* row);

private:
    void load(std::uint32_t blockRow);
    void readBlock(std::uint32_t blockRow, std::uint32_t index, std::size_t offset,
                   std::size_t bytes);

    PageFormat page_;
    bool byRows_;
    BlockGrid grid_;
    std::vector<std::unique_ptr<TiffFile>> handles_; // one, or one per plane when byRows_
    std::vector<std::byte> blocks_;
    std::uint32_t loaded_ = UINT32_MAX;
};

} // namespace fendral
