#include "page_reader.h"

#include "parallel_for.h"

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

PageReader::PageReader(const std::function<std::unique_ptr<TiffFile>()>& open,
                       const PageFormat& page, unsigned workers, std::uint32_t maxRows)
    : page_(page)
    , byRows_(readsByRows(page))
    , grid_(byRows_ ? rowByRow(page) : page)
    , workers_(std::max(1U, workers))
    // A request may begin inside a block row already held and end inside a new one.
    , slots_((maxRows + grid_.blockHeight() - 1) / grid_.blockHeight() + 2)
    , blocks_(grid_.blockRowBytes() * slots_) {
    const unsigned handles = byRows_ ? (page.planar ? unsigned(page.channels) : 1U) : workers_;
    for (unsigned i = 0; i < handles; ++i) {
        openAt(open);
    }
}

TiffFile& PageReader::openAt(const std::function<std::unique_ptr<TiffFile>()>& open) {
    TiffFile& handle = *handles_.emplace_back(open());
    handle.setPlace(page_.place);
    handle.forgetErrors(); // those of the first page, read on opening
    if (TIFFSetSubDirectory(handle.get(), page_.directory) == 0) {
        throw handle.failure("cannot read the page");
    }
    handle.check("cannot read the page");
    if (page_.photometric == PHOTOMETRIC_YCBCR) {
        // Only JPEG-compressed YCbCr gets here: have the codec hand out RGB.
        TIFFSetField(handle.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    return handle;
}

void PageReader::readRows(std::uint32_t from, std::uint32_t to, RowWindow& window) {
    if (from >= to) {
        return;
    }
    const std::uint32_t last = (to - 1) / grid_.blockHeight() + 1;
    if (decoded_ < last) {
        if (byRows_) {
            decodeRows(decoded_, last);
        } else {
            decodeBlockRows(decoded_, last);
        }
        decoded_ = last;
    }
    for (std::uint32_t y = from; y < to; ++y) {
        grid_.gatherRow(slot(y / grid_.blockHeight()), y % grid_.blockHeight(), window.row(y));
    }
}

void PageReader::decodeBlockRows(std::uint32_t first, std::uint32_t last) {
    struct Block {
        std::uint32_t index;
        std::byte* data;
        std::size_t bytes;
    };
    std::vector<Block> blocks;
    for (std::uint32_t blockRow = first; blockRow < last; ++blockRow) {
        std::byte* row = slot(blockRow);
        grid_.forEachBlock(blockRow,
                           [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
                               blocks.push_back({index, row + offset, bytes});
                           });
    }
    parallelFor(workers_, blocks.size(), [&](unsigned worker, std::size_t item) {
        const Block& block = blocks[item];
        TiffFile& handle = *handles_[worker];
        const auto size = static_cast<tmsize_t>(block.bytes);
        const tmsize_t got =
            page_.tiled ? TIFFReadEncodedTile(handle.get(), block.index, block.data, size)
                        : TIFFReadEncodedStrip(handle.get(), block.index, block.data, size);
        const std::string what =
            std::string("cannot read ") + grid_.blockName() + " " + std::to_string(block.index);
        if (got < 0) {
            throw handle.failure(what);
        }
        handle.check(what);
        // libtiff accepts some truncated blocks; what is missing reads as zero.
        std::fill(block.data + got, block.data + block.bytes, std::byte{0});
    });
}

void PageReader::decodeRows(std::uint32_t first, std::uint32_t last) {
    const auto planes = static_cast<unsigned>(handles_.size());
    const std::size_t planeBytes = grid_.blockRowBytes() / planes;
    // Each plane's rows stay on one thread, in order.
    parallelFor(std::min(workers_, planes), planes, [&](unsigned, std::size_t plane) {
        TiffFile& handle = *handles_[plane];
        for (std::uint32_t y = first; y < last; ++y) {
            if (TIFFReadScanline(handle.get(), slot(y) + plane * planeBytes, y,
                                 static_cast<std::uint16_t>(plane)) < 0) {
                throw handle.failure("cannot read strip " + std::to_string(y / page_.blockHeight));
            }
            handle.check("cannot read strip " + std::to_string(y / page_.blockHeight));
        }
    });
}

} // namespace fendral
