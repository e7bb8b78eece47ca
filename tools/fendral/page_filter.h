#pragma once

#include "disc.h"
#include "page_reader.h"
#include "page_writer.h"

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

// Streams one page from reader to writer: rows are read a chunk at a time, the chunk is split
// into one band per thread, and the filtered rows are written before the next chunk is read.
void filterPage(PageReader& reader, PageWriter& writer, const PageFormat& page, const Disc& disc,
                const FilterSettings& settings, const RowsDone& rowsDone);

} // namespace fendral
