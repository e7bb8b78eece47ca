#pragma once

#include "page_format.h"

#include <cstddef>
#include <cstdint>

namespace fendral {

// How a page's samples are cut into strips or tiles. A block row is one horizontal band of
// blocks: one block per column and plane (strips have a single column). Rows move between the
// blocks and the rest of the program with their channels interleaved.
class BlockGrid {
public:
    explicit BlockGrid(const PageFormat& page);

    std::uint32_t blockHeight() const { return blockHeight_; }
    std::uint32_t blockRows() const { return blockRows_; }
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

    // Copies row `rowInBlock` of a block row buffer into an interleaved row, and back.
    void gatherRow(const std::byte* blocks, std::uint32_t rowInBlock, std::byte* row) const;
    void scatterRow(const std::byte* row, std::uint32_t rowInBlock, std::byte* blocks) const;

private:
    std::size_t blockOffset(std::uint32_t column, int plane) const {
        return (static_cast<std::size_t>(plane) * columns_ + column) * blockBytes_;
    }
    template <typename Copy>
    void forEachPiece(std::uint32_t rowInBlock, Copy copy) const;

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
