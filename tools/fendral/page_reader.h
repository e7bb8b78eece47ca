#pragma once

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

// Decodes the blocks (strips or tiles) of one page, in order, into a ring of block row buffers,
// each block as a task any worker runs through a handle of its own. Strips too large to hold whole
// are decoded a few rows at a time, through one handle per plane so that each plane's decoder
// only moves forward. A block row is decoded only once the ring has room for it: rows the
// filter let go of make room.
class PageReader {
public:
    // open gives a new handle on the input file; the ring holds at least rowsHeld rows beyond
    // the first one still needed, and room for the workers to decode ahead.
    PageReader(const OpenInput& open, const PageFormat& page, unsigned workers,
               std::uint32_t rowsHeld);
    // The memory such a reader holds at most: its ring, and its handles' blocks as stored.
    static std::size_t memoryFor(const PageFormat& page, unsigned workers, std::uint32_t rowsHeld);

    const BlockGrid& grid() const { return grid_; }
    // The block row buffer that holds row y, and where in it y is.
    const std::byte* blockRowOf(std::uint32_t y) const { return slot(y / grid_.blockHeight()); }
    std::uint32_t rowInBlock(std::uint32_t y) const { return y % grid_.blockHeight(); }

    // Rows [0, decodedRows()) are decoded.
    std::uint32_t decodedRows() const;
    // Rows before `row` are needed no more.
    void release(std::uint32_t row) { released_ = row / grid_.blockHeight(); }
    // The next block to decode, if the ring has room for it and, for a plane read by rows, that
    // plane's handle is free.
    std::optional<PoolTask> next(unsigned worker);

private:
    struct Layout {
        bool byRows;
        BlockGrid grid;
        std::uint32_t slots;
        unsigned handles; // one per worker, or one per plane when by rows
    };
    static Layout layoutOf(const PageFormat& page, unsigned workers, std::uint32_t rowsHeld);
    PageReader(const OpenInput& open, const PageFormat& page, const Layout& layout);

    struct Unit {
        std::uint32_t blockRow;
        std::uint32_t index; // the block's strip or tile number; the plane when reading by rows
        std::size_t offset;
        std::size_t bytes;
    };

    void queueBlockRow();
    void decodeBlock(TiffFile& handle, const Unit& unit);
    void decodeRows(TiffFile& handle, const Unit& unit);
    std::byte* slot(std::uint32_t blockRow) const {
        return blocks_.get() + (blockRow % slots_) * grid_.blockRowBytes();
    }
    TiffFile& openAt(const OpenInput& open);

    PageFormat page_;
    bool byRows_;
    BlockGrid grid_;
    SampleForm form_;
    // One per worker, or one per plane when byRows_.
    std::vector<std::unique_ptr<TiffFile>> handles_;
    std::vector<bool> busy_; // per handle, when byRows_
    std::uint32_t slots_;
    std::unique_ptr<std::byte[]> blocks_;
    std::deque<Unit> waiting_;         // of block rows queued, not yet handed out
    std::vector<unsigned> unfinished_; // units per slot
    std::uint32_t queued_ = 0;         // block rows queued
    std::uint32_t decoded_ = 0;        // block rows decoded
    std::uint32_t released_ = 0;       // the first block row still needed
};

} // namespace fendral
