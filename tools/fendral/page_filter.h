#pragma once

#include "disc.h"
#include "page_format.h"
#include "tiff_file.h"

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

// Streams one page from the input (open gives handles on it) to the current page of file, set up
// with the layout `output`: rows are decoded a chunk at a time on every thread, the chunk is
// filtered in one band per thread, and its finished blocks are encoded on every thread and
// written before the next chunk is read.
void filterPage(const OpenInput& open, TiffFile& file, const PageFormat& page,
                const PageFormat& output, const Disc& disc, const FilterSettings& settings,
                const RowsDone& rowsDone);

} // namespace fendral
