#pragma once

#include "block_encoder.h"
#include "block_grid.h"
#include "row_window.h"
#include "tiff_file.h"
#include "worker_task.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace fendral {

// Takes the rows of the page being written in order and encodes each block row (a band of strips
// or tiles) once it is complete, so only a few block rows are held. Each block is compressed by a
// task any worker runs (see BlockEncoder), and the blocks are written to the file in order.
class PageWriter {
public:
    // page is the output layout (see outputFormat), already set on file; no request holds more
    // than maxRows rows.
    PageWriter(TiffFile& file, const PageFormat& page, unsigned workers, std::uint32_t maxRows);

    // Takes rows [from, to) of window, channels interleaved; each request starts where the last
    // one ended, after the last tasks have run.
    void take(std::uint32_t from, std::uint32_t to, const RowWindow& window);
    // The tasks of one round: one per block of the block rows completed since the last round,
    // compressing it, and one writing, in order, what the last round compressed (JPEG blocks are
    // written as they come). The round after the last take compresses what is left, and the
    // round after that writes it.
    WorkerTasks tasks();

private:
    struct Block {
        std::uint32_t index;
        std::byte* data;
        std::size_t bytes;
        std::vector<std::byte> encoded;
    };

    void write(const Block& block);
    std::byte* slot(std::uint32_t blockRow) {
        return blocks_.data() + (blockRow % slots_) * grid_.blockRowBytes();
    }

    TiffFile& file_;
    PageFormat page_;
    BlockGrid grid_;
    // JPEG's tables belong to the file, made by the file's own encoder as it writes.
    std::optional<BlockEncoder> encoder_;
    std::uint32_t slots_;
    std::vector<std::byte> blocks_;
    std::uint32_t complete_ = 0; // block rows whose rows are all taken
    std::uint32_t queued_ = 0;   // block rows handed to tasks
    std::vector<Block> ready_;   // being compressed this round, to be written in the next
};

} // namespace fendral
