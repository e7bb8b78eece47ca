#include "block_grid.h"

#include <algorithm>
#include <cstring>

namespace fendral {

namespace {

std::uint32_t ceilDiv(std::uint32_t value, std::uint32_t divisor) {
    return value / divisor + (value % divisor != 0 ? 1 : 0);
}

} // namespace

BlockGrid::BlockGrid(const PageFormat& page)
    : tiled_(page.tiled)
    , width_(page.width)
    , height_(page.height)
    , blockWidth_(page.blockWidth)
    , blockHeight_(page.blockHeight)
    , blockRows_(ceilDiv(page.height, page.blockHeight))
    , columns_(ceilDiv(page.width, page.blockWidth))
    , planes_(page.planar ? page.channels : 1)
    , channels_(page.channels)
    , sampleBytes_(page.bytesPerSample())
    , blockBytes_(std::size_t{blockWidth_} * blockHeight_ *
                  static_cast<std::size_t>(channels_ / planes_ * sampleBytes_)) {}

std::uint32_t BlockGrid::rowsIn(std::uint32_t blockRow) const {
    return std::min(blockHeight_, height_ - blockRow * blockHeight_);
}

void BlockGrid::padTile(std::byte* blocks, std::uint32_t index) const {
    const std::uint32_t column = index % columns_;
    const std::uint32_t blockRow = index / columns_ % blockRows_;
    const auto plane = static_cast<int>(index / columns_ / blockRows_);
    std::byte* const tile = blocks + blockOffset(column, plane);
    const std::size_t pixel = pixelStep();
    const std::size_t rowBytes = blockWidth_ * pixel;
    const std::uint32_t columnsIn = std::min(blockWidth_, width_ - column * blockWidth_);
    const std::uint32_t rows = rowsIn(blockRow);
    for (std::uint32_t row = 0; row < rows && columnsIn < blockWidth_; ++row) {
        std::byte* const last = tile + row * rowBytes + (columnsIn - 1) * pixel;
        for (std::byte* at = last + pixel; at < tile + (row + 1) * rowBytes; at += pixel) {
            std::memcpy(at, last, pixel);
        }
    }
    for (std::uint32_t row = rows; row < blockHeight_; ++row) {
        std::memcpy(tile + row * rowBytes, tile + (rows - 1) * rowBytes, rowBytes);
    }
}

} // namespace fendral
