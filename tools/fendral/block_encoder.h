#pragma once

#include "memory_file.h"
#include "page_format.h"
#include "tiff_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace fendral {

// Compresses single blocks of an output page the way the page's own file would, so that several
// threads can compress at once; the file then takes the bytes as they are (TIFFWriteRawStrip).
// Each worker has a TIFF in memory laid out like the page, whose codec it keeps from block to
// block; after each block only the file's header is kept. Not for JPEG, whose tables the file
// itself must make.
class BlockEncoder {
public:
    // Takes the page's compression settings from `file`, where they are already set.
    BlockEncoder(TiffFile& file, const PageFormat& page, unsigned workers);

    // The compressed bytes of block `index` (the strip or tile number of the page), compressed
    // by worker `worker`.
    std::vector<std::byte> encode(unsigned worker, std::uint32_t index, const std::byte* data,
                                  std::size_t bytes);

private:
    struct Worker {
        MemoryFile memory;
        std::unique_ptr<TiffFile> tif;
    };

    bool tiled_;
    std::vector<std::unique_ptr<Worker>> workers_;
};

} // namespace fendral
