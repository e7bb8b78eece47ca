#pragma once

#include "page_format.h"

#include <cstddef>
#include <cstdint>

namespace fendral {

// How a page's samples are cut into strips or tiles. A block row is one horizontal band of
// blocks: one block per column and plane (strips have a single column), held one after another
// in a block row buffer.
class BlockGrid {
public:
    explicit BlockGrid(const PageFormat& page);

    std::uint32_t blockWidth() const { return blockWidth_; }
    std::uint32_t blockHeight() const { return blockHeight_; }
    std::uint32_t blockRows() const { return blockRows_; }
    std::uint32_t blocks() const {
        return blockRows_ * columns_ * static_cast<std::uint32_t>(planes_);
    }
    std::size_t blockBytes() const { return blockBytes_; }
    // All blocks of one block row, one after another.
    std::size_t blockRowBytes() const { return blockBytes_ * columns_ * planes_; }
    // Rows that block row `blockRow` really has (the last strip may be short).
    std::uint32_t rowsIn(std::uint32_t blockRow) const;
    const char* blockName() const { return tiled_ ? "tile" : "strip"; }

    // Calls visit(index, offset, bytes) for each block of a block row: the strip or tile number
    // libtiff knows it by, where it sits in the block row buffer, and how many bytes it encodes
    // (a short last strip holds its own rows only).
    template <typename Visit>
    void forEachBlock(std::uint32_t blockRow, Visit visit) const {
        const std::size_t bytes =
            tiled_ ? blockBytes_ : blockBytes_ / blockHeight_ * rowsIn(blockRow);
        for (int plane = 0; plane < planes_; ++plane) {
            for (std::uint32_t column = 0; column < columns_; ++column) {
                visit((static_cast<std::uint32_t>(plane) * blockRows_ + blockRow) * columns_ +
                          column,
                      blockOffset(column, plane), bytes);
            }
        }
    }

    // Calls visit(x, count, offset) for each run of pixels [x, x + count) of columns [from, to)
    // of row `rowInBlock` that one block holds: offset is where, in the block row buffer, the run
    // starts. Channel c of its pixel i lies channelOffset(c) + i * pixelStep() bytes further.
    template <typename Visit>
    void forEachRun(std::uint32_t rowInBlock, std::uint32_t from, std::uint32_t to,
                    Visit visit) const {
        for (std::uint32_t column = from / blockWidth_; column * blockWidth_ < to; ++column) {
            const std::uint32_t left = column * blockWidth_;
            const std::uint32_t x = from > left ? from : left;
            const std::uint32_t end = to < left + blockWidth_ ? to : left + blockWidth_;
            visit(x, end - x,
                  blockOffset(column, 0) +
                      (std::size_t{rowInBlock} * blockWidth_ + (x - left)) * pixelStep());
        }
    }
    std::size_t channelOffset(int channel) const {
        return static_cast<std::size_t>(channel) *
               (planes_ == 1 ? static_cast<std::size_t>(sampleBytes_) : blockBytes_ * columns_);
    }
    // Channels that lie side by side in a block: all of them, or one for separate planes.
    int channelsPerPlane() const { return channels_ / planes_; }
    std::size_t pixelStep() const {
        return static_cast<std::size_t>(channelsPerPlane() * sampleBytes_);
    }

    // Fills the part of tile `index` beyond the page's right and bottom edges with the page's
    // last column and row, as JPEG pads its own blocks: what the block row before left there must
    // not blend into the edge. blocks is the buffer of its block row.
    void padTile(std::byte* blocks, std::uint32_t index) const;

private:
    std::size_t blockOffset(std::uint32_t column, int plane) const {
        return (static_cast<std::size_t>(plane) * columns_ + column) * blockBytes_;
    }

    bool tiled_;
    std::uint32_t width_;
    std::uint32_t height_;
    std::uint32_t blockWidth_;
    std::uint32_t blockHeight_;
    std::uint32_t blockRows_;
    std::uint32_t columns_;
    int planes_;
    int channels_;
    int sampleBytes_;
    std::size_t blockBytes_;
};

} // namespace fendral
