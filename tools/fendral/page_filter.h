#pragma once

#include "disc.h"
#include "page_format.h"
#include "tiff_file.h"
#include "worker_pool.h"

#include <cstdint>
#include <functional>

namespace fendral {

struct FilterSettings {
    double radius = 0;
    double maxDiff = 0;
    unsigned threads = 1;
};

// Called with the number of rows just finished.
using RowsDone = std::function<void(std::uint32_t)>;

// Throws Failure when the page would take more memory than a page may (see pageMemoryLimit) even
// on a single worker, saying how much.
void checkMemory(const PageFormat& page, const Disc& disc);

// Streams one page from the input (open gives handles on it) to the current page of file, set up
// with the layout `output`, on the pool's workers: blocks are decoded, bands of rows filtered,
// blocks compressed and written, each as soon as what it needs is ready, in rings of rows that
// keep memory bounded: on as many of the pool's workers as the page's memory allows.
void filterPage(WorkerPool& pool, const OpenInput& open, TiffFile& file, const PageFormat& page,
                const PageFormat& output, const Disc& disc, double maxDiff,
                const RowsDone& rowsDone);

} // namespace fendral
