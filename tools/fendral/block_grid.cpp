#include "block_grid.h"

#include <algorithm>
#include <cstring>

namespace fendral {

namespace {

// Copies count samples of `size` bytes, `fromStep` and `toStep` bytes apart.
void copySamples(const std::byte* from, std::size_t fromStep, std::byte* to, std::size_t toStep,
                 std::size_t count, int size) {
    const auto sampleBytes = static_cast<std::size_t>(size);
    if (fromStep == sampleBytes && toStep == sampleBytes) {
        std::memcpy(to, from, count * sampleBytes);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(to + i * toStep, from + i * fromStep, sampleBytes);
    }
}

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

template <typename Copy>
void BlockGrid::forEachPiece(std::uint32_t rowInBlock, Copy copy) const {
    const auto sample = static_cast<std::size_t>(sampleBytes_);
    const auto pixel = static_cast<std::size_t>(channels_) * sample;
    const std::size_t blockPixel = pixel / static_cast<std::size_t>(planes_);
    // Interleaved blocks hold whole pixels, planar blocks one sample of each; either way the
    // block side is a plain run of samples.
    const std::size_t rowStep = planes_ == 1 ? sample : pixel;
    for (int plane = 0; plane < planes_; ++plane) {
        for (std::uint32_t column = 0; column < columns_; ++column) {
            const std::uint32_t x = column * blockWidth_;
            const std::uint32_t count = std::min(blockWidth_, width_ - x);
            const std::size_t blockAt =
                blockOffset(column, plane) + std::size_t{rowInBlock} * blockWidth_ * blockPixel;
            const std::size_t rowAt = x * pixel + static_cast<std::size_t>(plane) * sample;
            copy(blockAt, rowAt, rowStep, count * blockPixel / sample);
        }
    }
}

void BlockGrid::gatherRow(const std::byte* blocks, std::uint32_t rowInBlock, std::byte* row) const {
    const auto sample = static_cast<std::size_t>(sampleBytes_);
    forEachPiece(rowInBlock, [&](std::size_t blockAt, std::size_t rowAt, std::size_t rowStep,
                                 std::size_t count) {
        copySamples(blocks + blockAt, sample, row + rowAt, rowStep, count, sampleBytes_);
    });
}

void BlockGrid::scatterRow(const std::byte* row, std::uint32_t rowInBlock,
                           std::byte* blocks) const {
    const auto sample = static_cast<std::size_t>(sampleBytes_);
    const std::size_t blockPixel = static_cast<std::size_t>(channels_ / planes_) * sample;
    forEachPiece(rowInBlock, [&](std::size_t blockAt, std::size_t rowAt, std::size_t rowStep,
                                 std::size_t count) {
        copySamples(row + rowAt, rowStep, blocks + blockAt, sample, count, sampleBytes_);
        // Past the page's right edge a tile repeats the row's last pixel, as JPEG pads its own
        // blocks: what the block row before left there must not blend into the edge.
        std::byte* const end = blocks + blockAt + count * sample;
        for (std::byte* at = end; at < blocks + blockAt + blockWidth_ * blockPixel;
             at += blockPixel) {
            std::memcpy(at, end - blockPixel, blockPixel);
        }
    });
}

} // namespace fendral
