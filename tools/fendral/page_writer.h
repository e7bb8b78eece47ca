#pragma once

#include "block_encoder.h"
#include "block_grid.h"
#include "sample_form.h"
#include "tiff_file.h"
#include "worker_pool.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace fendral {

// Holds the rows of the page being written in a ring of block row buffers (bands of strips or
// tiles). Once a block row's rows are all in place, each of its blocks is compressed by a task any
// worker runs (see BlockEncoder), and one task at a time writes the blocks compressed, in order.
// A block row is written into only once the ring has room for it: written block rows make room.
class PageWriter {
public:
    // page is the output layout (see outputFormat), already set on file; the ring holds at least
    // rowsHeld rows, and room for the workers to compress ahead.
    PageWriter(TiffFile& file, const PageFormat& page, unsigned workers, std::uint32_t rowsHeld);
    // The memory such a writer holds at most: its ring, the blocks compressed and not yet written,
    // and the encoders' (or the file's) handles.
    static std::size_t memoryFor(const PageFormat& page, unsigned workers, std::uint32_t rowsHeld);

    const BlockGrid& grid() const { return grid_; }
    // The block row buffer that holds row y, and where in it y is.
    std::byte* blockRowOf(std::uint32_t y) const { return slot(y / grid_.blockHeight()); }
    std::uint32_t rowInBlock(std::uint32_t y) const { return y % grid_.blockHeight(); }

    // Whether the rows before `row` have room in the ring.
    bool hasRoomFor(std::uint32_t row) const {
        return (row - 1) / grid_.blockHeight() < written_ + slots_;
    }
    // Rows [0, rows) are in place.
    void rowsFilled(std::uint32_t rows);
    // The next block to compress, or the blocks next in order to write when no write runs.
    std::optional<PoolTask> next();
    bool finished() const { return written_ == grid_.blockRows(); }

private:
    struct Block {
        std::uint32_t blockRow;
        std::uint32_t index;
        std::byte* data;
        std::size_t bytes;
        bool ready = false; // compressed, or to be compressed by the file itself
        std::vector<std::byte> encoded;
    };

    static std::uint32_t slotsFor(const BlockGrid& grid, unsigned workers, std::uint32_t rowsHeld);
    // Whether workers compress the blocks; otherwise the file writes them as they are, or with
    // JPEG, whose tables it must make itself.
    static bool compressesBlocks(const PageFormat& page);
    std::optional<PoolTask> writeTask();
    void write(Block& block);
    // Pads a tile, turns the block into the file's form (see SampleForm) and gives its size.
    std::size_t toStored(const Block& block) const;
    std::byte* slot(std::uint32_t blockRow) const {
        return blocks_.get() + (blockRow % slots_) * grid_.blockRowBytes();
    }

    TiffFile& file_;
    PageFormat page_;
    BlockGrid grid_;
    SampleForm form_;
    std::optional<BlockEncoder> encoder_;
    std::uint32_t slots_;
    std::unique_ptr<std::byte[]> blocks_;
    std::deque<Block> queue_;    // of the block rows complete and not yet written, in order
    std::size_t toEncode_ = 0;   // in queue_, the first not yet handed out to compress
    std::uint32_t complete_ = 0; // block rows whose rows are all in place
    std::uint32_t written_ = 0;  // block rows written
    bool writing_ = false;
};

} // namespace fendral
