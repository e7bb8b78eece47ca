#pragma once

#include "block_grid.h"
#include "row_window.h"
#include "tiff_file.h"
#include "worker_task.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace fendral {

// Hands out the rows of one page in order. The blocks (strips or tiles) of the block rows that a
// request reaches are decoded as tasks that any worker runs through a handle of its own, and
// only a few block rows are held. Strips too large for that are decoded row by row, one handle
// per plane so that each plane's decoder only moves forward.
class PageReader {
public:
    // open gives a new handle on the input file; no request asks for more than maxRows rows.
    PageReader(const OpenInput& open, const PageFormat& page, unsigned workers,
               std::uint32_t maxRows);

    // The tasks that decode what rows up to `to` need; run them before gathering those rows.
    WorkerTasks decodeTasks(std::uint32_t to);
    // Copies rows [from, to), channels interleaved, into window; each request starts where the
    // last one ended.
    void gather(std::uint32_t from, std::uint32_t to, RowWindow& window);

private:
    WorkerTasks blockTasks(std::uint32_t first, std::uint32_t last);
    WorkerTasks rowTasks(std::uint32_t first, std::uint32_t last);
    std::byte* slot(std::uint32_t blockRow) {
        return blocks_.data() + (blockRow % slots_) * grid_.blockRowBytes();
    }
    TiffFile& openAt(const OpenInput& open);

    PageFormat page_;
    bool byRows_;
    BlockGrid grid_;
    // One per worker, or one per plane when byRows_.
    std::vector<std::unique_ptr<TiffFile>> handles_;
    std::uint32_t slots_; // block rows held
    std::vector<std::byte> blocks_;
    std::uint32_t decoded_ = 0; // block rows decoded so far
};

} // namespace fendral
