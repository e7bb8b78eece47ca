#include "page_writer.h"

#include <iterator>
#include <string>

namespace fendral {

PageWriter::PageWriter(TiffFile& file, const PageFormat& page, unsigned workers,
                       std::uint32_t maxRows)
    : file_(file)
    , page_(page)
    , grid_(page)
    , slots_((maxRows + grid_.blockHeight() - 1) / grid_.blockHeight() + 1)
    , blocks_(grid_.blockRowBytes() * slots_) {
    if (page.compression != COMPRESSION_JPEG) {
        encoder_.emplace(file, page, workers);
    }
}

void PageWriter::take(std::uint32_t from, std::uint32_t to, const RowWindow& window) {
    for (std::uint32_t y = from; y < to; ++y) {
        grid_.scatterRow(window.row(y), y % grid_.blockHeight(), slot(y / grid_.blockHeight()));
    }
    // Below the page's last row the tiles repeat it, for the same reason as at the right edge.
    if (page_.tiled && to == page_.height) {
        for (std::uint32_t pad = to % grid_.blockHeight(); pad != 0 && pad < grid_.blockHeight();
             ++pad) {
            grid_.scatterRow(window.row(to - 1), pad, slot((to - 1) / grid_.blockHeight()));
        }
    }
    complete_ = to == page_.height ? grid_.blockRows() : to / grid_.blockHeight();
}

WorkerTasks PageWriter::tasks() {
    std::vector<Block> toWrite = std::move(ready_);
    std::vector<Block> fresh;
    for (; queued_ < complete_; ++queued_) {
        std::byte* row = slot(queued_);
        grid_.forEachBlock(queued_,
                           [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
                               fresh.push_back({index, row + offset, bytes, {}});
                           });
    }
    if (!encoder_) {
        // Written from the rows as they are, by the file's own encoder, this round.
        std::move(fresh.begin(), fresh.end(), std::back_inserter(toWrite));
        fresh.clear();
    }
    WorkerTasks tasks;
    if (!toWrite.empty()) {
        // Only this task touches the file; it writes the blocks in order.
        tasks.emplace_back([this, blocks = std::move(toWrite)](unsigned) {
            for (const Block& block : blocks) {
                write(block);
            }
        });
    }
    ready_ = std::move(fresh);
    for (Block& block : ready_) {
        tasks.emplace_back([this, &block](unsigned worker) {
            block.encoded = encoder_->encode(worker, block.index, block.data, block.bytes);
        });
    }
    return tasks;
}

void PageWriter::write(const Block& block) {
    const std::string what =
        std::string("cannot write ") + grid_.blockName() + " " + std::to_string(block.index);
    TIFF* tif = file_.get();
    tmsize_t written = 0;
    if (encoder_) {
        auto* data = const_cast<std::byte*>(block.encoded.data());
        const auto size = static_cast<tmsize_t>(block.encoded.size());
        written = page_.tiled ? TIFFWriteRawTile(tif, block.index, data, size)
                              : TIFFWriteRawStrip(tif, block.index, data, size);
    } else {
        const auto size = static_cast<tmsize_t>(block.bytes);
        written = page_.tiled ? TIFFWriteEncodedTile(tif, block.index, block.data, size)
                              : TIFFWriteEncodedStrip(tif, block.index, block.data, size);
    }
    if (written < 0) {
        throw file_.failure(what);
    }
    file_.check(what);
}

} // namespace fendral
