#include "page_writer.h"

#include "memory_bound.h"

#include <algorithm>
#include <string>

namespace fendral {

namespace {

// Block rows compressed ahead of the one being written, so that no worker waits for the writer:
// two for each worker, fewer when they are large.
constexpr std::size_t writeAheadBytes = std::size_t{8} << 20;

} // namespace

std::uint32_t PageWriter::slotsFor(const BlockGrid& grid, unsigned workers,
                                   std::uint32_t rowsHeld) {
    return std::min(grid.blockRows(),
                    (rowsHeld + grid.blockHeight() - 1) / grid.blockHeight() + 1 +
                        static_cast<std::uint32_t>(std::clamp<std::size_t>(
                            writeAheadBytes / grid.blockRowBytes(), 1, 2 * workers)));
}

bool PageWriter::compressesBlocks(const PageFormat& page) {
    return page.compression != COMPRESSION_JPEG && page.compression != COMPRESSION_NONE;
}

std::size_t PageWriter::memoryFor(const PageFormat& page, unsigned workers,
                                  std::uint32_t rowsHeld) {
    const BlockGrid grid(page);
    const std::size_t ring = grid.blockRowBytes() * slotsFor(grid, workers, rowsHeld);
    // Compressed, a block may grow by half (LZW on noise) until it is written.
    return compressesBlocks(page) ? ring + ring * 3 / 2 + workers * handleMemory(page, true)
                                  : ring + handleMemory(page, true);
}

PageWriter::PageWriter(TiffFile& file, const PageFormat& page, unsigned workers,
                       std::uint32_t rowsHeld)
    : file_(file)
    , page_(page)
    , grid_(page)
    , form_(page, grid_.blockWidth())
    , slots_(slotsFor(grid_, workers, rowsHeld))
    , blocks_(std::make_unique_for_overwrite<std::byte[]>(grid_.blockRowBytes() * slots_)) {
    if (compressesBlocks(page)) {
        encoder_.emplace(file, page, workers);
    }
}

void PageWriter::rowsFilled(std::uint32_t rows) {
    const std::uint32_t complete =
        rows == page_.height ? grid_.blockRows() : rows / grid_.blockHeight();
    for (; complete_ < complete; ++complete_) {
        std::byte* const buffer = slot(complete_);
        grid_.forEachBlock(
            complete_, [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
                queue_.push_back({complete_, index, buffer + offset, bytes, !encoder_, {}});
            });
    }
    if (!encoder_) {
        toEncode_ = queue_.size();
    }
}

std::optional<PoolTask> PageWriter::next() {
    if (std::optional<PoolTask> task = writeTask()) {
        return task;
    }
    if (toEncode_ == queue_.size()) {
        return std::nullopt;
    }
    Block& block = queue_[toEncode_++];
    return PoolTask{[this, &block](unsigned own) {
                        block.encoded =
                            encoder_->encode(own, block.index, block.data, toStored(block));
                    },
                    [&block] {
                        block.ready = true;
                    }};
}

std::optional<PoolTask> PageWriter::writeTask() {
    const auto unready =
        std::ranges::find_if(queue_, [](const Block& block) { return !block.ready; });
    if (writing_ || unready == queue_.begin()) {
        return std::nullopt;
    }
    // Only this task touches the file; it writes the blocks in order. (A deque keeps its
    // elements in place while others are added at its end or taken from its start.)
    writing_ = true;
    const auto count = static_cast<std::size_t>(unready - queue_.begin());
    std::vector<Block*> blocks;
    for (auto block = queue_.begin(); block != unready; ++block) {
        blocks.push_back(&*block);
    }
    return PoolTask{[this, blocks = std::move(blocks)](unsigned) {
                        for (Block* block : blocks) {
                            write(*block);
                        }
                    },
                    [this, count] {
                        writing_ = false;
                        const std::uint32_t lastRow = queue_[count - 1].blockRow;
                        const bool rowEnds =
                            count == queue_.size() || queue_[count].blockRow != lastRow;
                        queue_.erase(queue_.begin(), queue_.begin() + std::ptrdiff_t(count));
                        toEncode_ -= count;
                        written_ = rowEnds ? lastRow + 1 : lastRow;
                    }};
}

std::size_t PageWriter::toStored(const Block& block) const {
    if (page_.tiled) {
        grid_.padTile(slot(block.blockRow), block.index);
    }
    form_.toStored(block.data, block.bytes);
    return form_.storedBytes(block.bytes);
}

void PageWriter::write(Block& block) {
    const std::string what =
        std::string("cannot write ") + grid_.blockName() + " " + std::to_string(block.index);
    TIFF* tif = file_.get();
    tmsize_t written = 0;
    if (encoder_) {
        const auto size = static_cast<tmsize_t>(block.encoded.size());
        written = page_.tiled ? TIFFWriteRawTile(tif, block.index, block.encoded.data(), size)
                              : TIFFWriteRawStrip(tif, block.index, block.encoded.data(), size);
    } else {
        const auto size = static_cast<tmsize_t>(toStored(block));
        written = page_.tiled ? TIFFWriteEncodedTile(tif, block.index, block.data, size)
                              : TIFFWriteEncodedStrip(tif, block.index, block.data, size);
    }
    if (written < 0) {
        throw file_.failure(what);
    }
    file_.check(what);
    block.encoded = {};
}

} // namespace fendral
