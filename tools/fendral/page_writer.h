#pragma once

#include "block_grid.h"
#include "row_window.h"
#include "tiff_file.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fendral {

// Takes the rows of the page being written in order and encodes each block row (a band of strips
// or tiles) as soon as it is complete, so only a few block rows are held. With several workers
// each block is compressed on its own (see BlockEncoder) and the blocks are written in order.
class PageWriter {
public:
    // page is the output layout (see outputFormat); no request holds more than maxRows rows.
    PageWriter(TiffFile& file, const PageFormat& page, unsigned workers, std::uint32_t maxRows);

    // Takes rows [from, to) of window, channels interleaved; each request starts where the last
    // one ended.
    void writeRows(std::uint32_t from, std::uint32_t to, const RowWindow& window);

private:
    void encode(std::uint32_t first, std::uint32_t last);
    std::byte* slot(std::uint32_t blockRow) {
        return blocks_.data() + (blockRow % slots_) * grid_.blockRowBytes();
    }

    TiffFile& file_;
    PageFormat page_;
    BlockGrid grid_;
    unsigned workers_;
    std::uint32_t slots_;
    std::vector<std::byte> blocks_;
    std::uint32_t encoded_ = 0; // block rows written so far
};

} // namespace fendral
