#include "memory_bound.h"

#include "block_grid.h"

namespace fendral {

namespace {

constexpr std::size_t megabyte = std::size_t{1} << 20;

// A codec's own state, as its libraries report it for libtiff's settings (LZMA preset 6, ZSTD
// level 9); the others' tables and windows take about a megabyte, WebP's pictures a few times
// the block.
std::size_t codecMemory(std::uint16_t compression, bool encoding, std::size_t blockBytes) {
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_PACKBITS:
        return 0;
    case COMPRESSION_LZMA:
        return (encoding ? 94 : 9) * megabyte;
    case COMPRESSION_ZSTD:
        return (encoding ? 17 : 5) * megabyte;
    case COMPRESSION_WEBP:
        return megabyte + 8 * blockBytes;
    default:
        return megabyte;
    }
}

} // namespace

std::size_t handleMemory(const PageFormat& page, bool encoding) {
    const BlockGrid grid(page);
    const std::size_t block = grid.blockBytes();
    // Writing, the block is held whole and compressed into a growing buffer.
    const std::size_t stored = encoding ? 4 * block : page.largestStoredBlock;
    return stored + codecMemory(page.compression, encoding, block) +
           std::size_t{16} * grid.blocks();
}

} // namespace fendral
