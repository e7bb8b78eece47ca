#include "page_reader.h"

#include <algorithm>
#include <string>

namespace fendral {

namespace {

// Larger block rows of strips are read row by row: libtiff decodes a strip progressively.
constexpr std::size_t largestBlockRow = std::size_t{8} << 20;

bool readsByRows(const PageFormat& page) {
    return !page.tiled && BlockGrid(page).blockRowBytes() > largestBlockRow;
}

PageFormat rowByRow(PageFormat page) {
    page.blockHeight = 1;
    return page;
}

} // namespace

PageReader::PageReader(const OpenInput& open, const PageFormat& page, unsigned workers,
                       std::uint32_t maxRows)
    : page_(page)
    , byRows_(readsByRows(page))
    , grid_(byRows_ ? rowByRow(page) : page)
    // A request may begin inside a block row already held and end inside a new one.
    , slots_((maxRows + grid_.blockHeight() - 1) / grid_.blockHeight() + 2)
    , blocks_(grid_.blockRowBytes() * slots_) {
    const unsigned handles =
        byRows_ ? (page.planar ? unsigned(page.channels) : 1U) : std::max(1U, workers);
    for (unsigned i = 0; i < handles; ++i) {
        openAt(open);
    }
}

TiffFile& PageReader::openAt(const OpenInput& open) {
    TiffFile& handle = *handles_.emplace_back(open());
    handle.readPage(page_.directory, page_.place);
    if (page_.photometric == PHOTOMETRIC_YCBCR) {
        // Only JPEG-compressed YCbCr gets here: have the codec hand out RGB.
        TIFFSetField(handle.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    return handle;
}

WorkerTasks PageReader::decodeTasks(std::uint32_t to) {
    if (to == 0) {
        return {};
    }
    const std::uint32_t last = (to - 1) / grid_.blockHeight() + 1;
    if (decoded_ >= last) {
        return {};
    }
    WorkerTasks tasks = byRows_ ? rowTasks(decoded_, last) : blockTasks(decoded_, last);
    decoded_ = last;
    return tasks;
}

void PageReader::gather(std::uint32_t from, std::uint32_t to, RowWindow& window) {
    for (std::uint32_t y = from; y < to; ++y) {
        grid_.gatherRow(slot(y / grid_.blockHeight()), y % grid_.blockHeight(), window.row(y));
    }
}

WorkerTasks PageReader::blockTasks(std::uint32_t first, std::uint32_t last) {
    WorkerTasks tasks;
    for (std::uint32_t blockRow = first; blockRow < last; ++blockRow) {
        std::byte* row = slot(blockRow);
        grid_.forEachBlock(blockRow, [&](std::uint32_t index, std::size_t offset,
                                         std::size_t bytes) {
            tasks.emplace_back([this, index, block = row + offset, bytes](unsigned worker) {
                TiffFile& handle = *handles_[worker];
                const auto size = static_cast<tmsize_t>(bytes);
                const tmsize_t got = page_.tiled
                                         ? TIFFReadEncodedTile(handle.get(), index, block, size)
                                         : TIFFReadEncodedStrip(handle.get(), index, block, size);
                const std::string what =
                    std::string("cannot read ") + grid_.blockName() + " " + std::to_string(index);
                if (got < 0) {
                    throw handle.failure(what);
                }
                handle.check(what);
                // libtiff accepts some truncated blocks; what is missing reads as zero.
                std::fill(block + got, block + bytes, std::byte{0});
            });
        });
    }
    return tasks;
}

WorkerTasks PageReader::rowTasks(std::uint32_t first, std::uint32_t last) {
    WorkerTasks tasks;
    const std::size_t planeBytes = grid_.blockRowBytes() / handles_.size();
    // One task per plane, so that each plane's rows are read in order.
    for (std::size_t plane = 0; plane < handles_.size(); ++plane) {
        tasks.emplace_back([this, plane, planeBytes, first, last](unsigned) {
            TiffFile& handle = *handles_[plane];
            for (std::uint32_t y = first; y < last; ++y) {
                const std::string what =
                    "cannot read strip " + std::to_string(y / page_.blockHeight);
                if (TIFFReadScanline(handle.get(), slot(y) + plane * planeBytes, y,
                                     static_cast<std::uint16_t>(plane)) < 0) {
                    throw handle.failure(what);
                }
                handle.check(what);
            }
        });
    }
    return tasks;
}

} // namespace fendral
