#include "page_writer.h"

#include "block_encoder.h"
#include "parallel_for.h"

#include <algorithm>
#include <string>

namespace fendral {

PageWriter::PageWriter(TiffFile& file, const PageFormat& page, unsigned workers,
                       std::uint32_t maxRows)
    : file_(file)
    , page_(page)
    , grid_(page)
    // JPEG's tables belong to the file, written by the file's own encoder: one block at a time.
    , workers_(page.compression == COMPRESSION_JPEG ? 1U : std::max(1U, workers))
    , slots_((maxRows + grid_.blockHeight() - 1) / grid_.blockHeight() + 1)
    , blocks_(grid_.blockRowBytes() * slots_) {}

void PageWriter::writeRows(std::uint32_t from, std::uint32_t to, const RowWindow& window) {
    for (std::uint32_t y = from; y < to; ++y) {
        grid_.scatterRow(window.row(y), y % grid_.blockHeight(), slot(y / grid_.blockHeight()));
    }
    const std::uint32_t complete =
        to == page_.height ? grid_.blockRows() : to / grid_.blockHeight();
    if (complete > encoded_) {
        encode(encoded_, complete);
        encoded_ = complete;
    }
}

void PageWriter::encode(std::uint32_t first, std::uint32_t last) {
    struct Block {
        std::uint32_t index;
        const std::byte* data;
        std::size_t bytes;
        std::uint32_t rows;
        int plane;
    };
    std::vector<Block> blocks;
    for (std::uint32_t blockRow = first; blockRow < last; ++blockRow) {
        const std::byte* row = slot(blockRow);
        grid_.forEachBlock(blockRow,
                           [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
                               blocks.push_back({index, row + offset, bytes, grid_.rowsIn(blockRow),
                                                 grid_.planeOf(index)});
                           });
    }
    const auto what = [&](const Block& block) {
        return std::string("cannot write ") + grid_.blockName() + " " + std::to_string(block.index);
    };
    if (workers_ == 1) {
        for (const Block& block : blocks) {
            auto* data = const_cast<std::byte*>(block.data);
            const auto size = static_cast<tmsize_t>(block.bytes);
            const tmsize_t written =
                page_.tiled ? TIFFWriteEncodedTile(file_.get(), block.index, data, size)
                            : TIFFWriteEncodedStrip(file_.get(), block.index, data, size);
            if (written < 0) {
                throw file_.failure(what(block));
            }
            file_.check(what(block));
        }
        return;
    }
    const BlockEncoder encoder(file_, page_);
    std::vector<std::vector<std::byte>> encoded(blocks.size());
    parallelFor(workers_, blocks.size(), [&](unsigned, std::size_t item) {
        const Block& block = blocks[item];
        encoded[item] = encoder.encode(block.data, block.bytes, block.rows, block.plane);
    });
    for (std::size_t item = 0; item < blocks.size(); ++item) {
        auto& bytes = encoded[item];
        const auto size = static_cast<tmsize_t>(bytes.size());
        const tmsize_t written =
            page_.tiled ? TIFFWriteRawTile(file_.get(), blocks[item].index, bytes.data(), size)
                        : TIFFWriteRawStrip(file_.get(), blocks[item].index, bytes.data(), size);
        if (written < 0) {
            throw file_.failure(what(blocks[item]));
        }
        file_.check(what(blocks[item]));
    }
}

} // namespace fendral
