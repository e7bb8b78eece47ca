#include "page_reader.h"

#include "memory_bound.h"

#include <algorithm>
#include <span>
#include <string>

namespace fendral {

namespace {

// Larger block rows of strips are read row by row: libtiff decodes a strip progressively.
constexpr std::size_t largestBlockRow = std::size_t{8} << 20;

bool readsByRows(const PageFormat& page) {
    return !page.tiled && BlockGrid(page).blockRowBytes() > largestBlockRow;
}

// Such strips are read in block rows of about this size, a row at a time.
constexpr std::size_t rowsReadAtOnce = std::size_t{1} << 20;

PageFormat inFewRows(PageFormat page) {
    page.blockHeight = static_cast<std::uint32_t>(
        std::clamp<std::size_t>(rowsReadAtOnce / page.rowBytes(), 1, page.blockHeight));
    return page;
}

// Block rows decoded ahead of those needed, so that no worker waits for the decoder: two for each
// worker, fewer when they are large.
constexpr std::size_t readAheadBytes = std::size_t{8} << 20;

std::uint32_t readAhead(const BlockGrid& grid, unsigned workers) {
    return static_cast<std::uint32_t>(
        std::clamp<std::size_t>(readAheadBytes / grid.blockRowBytes(), 1, 2 * workers));
}

} // namespace

PageReader::Layout PageReader::layoutOf(const PageFormat& page, unsigned workers,
                                        std::uint32_t rowsHeld) {
    const bool byRows = readsByRows(page);
    const BlockGrid grid(byRows ? inFewRows(page) : page);
    // A block row being read into and one in which the rows held start, and room to read ahead.
    const std::uint32_t slots =
        std::min(grid.blockRows(), (rowsHeld + grid.blockHeight() - 1) / grid.blockHeight() + 1 +
                                       readAhead(grid, workers));
    const unsigned handles = byRows ? (page.planar ? unsigned(page.channels) : 1U)
                                    : std::clamp(grid.blocks(), 1U, std::max(1U, workers));
    return {byRows, grid, slots, handles};
}

std::size_t PageReader::memoryFor(const PageFormat& page, unsigned workers,
                                  std::uint32_t rowsHeld) {
    const Layout layout = layoutOf(page, workers, rowsHeld);
    return layout.grid.blockRowBytes() * layout.slots + layout.handles * handleMemory(page, false);
}

namespace {

// Whether block `index` (a strip or tile) is sparse: a byte count of 0 is the form some writers
// use for "no data", read as zeros, which then fill `rows`. Any other block must lie wholly within
// the file, and not at offset 0, where the header is; an uncompressed one must hold the `bytes`
// asked of it. libtiff would read such blocks as whatever the file holds there, or as zeros.
// Throws Failure naming the block.
bool readAsSparse(TiffFile& handle, const std::string& block, std::uint32_t index,
                  std::size_t bytes, std::span<std::byte> rows) {
    TIFF* tif = handle.get();
    const std::uint64_t count = TIFFGetStrileByteCount(tif, index);
    const std::uint64_t offset = TIFFGetStrileOffset(tif, index);
    const std::uint64_t size = TIFFGetSizeProc(tif)(TIFFClientdata(tif));
    const auto cannotRead = [&](const std::string& why) {
        return handle.failure("cannot read " + block + ": " + why);
    };
    if (count == 0) {
        std::ranges::fill(rows, std::byte{0});
        return true;
    }
    if (offset == 0) {
        throw cannotRead("its offset is 0");
    }
    if (offset > size || count > size - offset) {
        throw cannotRead("its " + std::to_string(count) + " bytes run past the end of the file");
    }
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (compression == COMPRESSION_NONE && count < bytes) {
        throw cannotRead("it holds " + std::to_string(count) + " bytes of the " +
                         std::to_string(bytes) + " its rows need");
    }
    return false;
}

} // namespace

PageReader::PageReader(const OpenInput& open, const PageFormat& page, unsigned workers,
                       std::uint32_t rowsHeld)
    : PageReader(open, page, layoutOf(page, workers, rowsHeld)) {}

PageReader::PageReader(const OpenInput& open, const PageFormat& page, const Layout& layout)
    : page_(page)
    , byRows_(layout.byRows)
    , grid_(layout.grid)
    , form_(page, grid_.blockWidth())
    , slots_(layout.slots)
    , blocks_(std::make_unique_for_overwrite<std::byte[]>(grid_.blockRowBytes() * slots_))
    , unfinished_(slots_, 0) {
    for (unsigned i = 0; i < layout.handles; ++i) {
        openAt(open);
    }
    busy_.resize(layout.handles);
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

std::uint32_t PageReader::decodedRows() const {
    return std::min(page_.height, decoded_ * grid_.blockHeight());
}

void PageReader::queueBlockRow() {
    const std::uint32_t blockRow = queued_++;
    if (byRows_) {
        for (std::uint32_t plane = 0; plane < handles_.size(); ++plane) {
            waiting_.push_back({blockRow, plane, grid_.channelOffset(int(plane)), 0});
        }
    } else {
        grid_.forEachBlock(blockRow,
                           [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
                               waiting_.push_back({blockRow, index, offset, bytes});
                           });
    }
    unfinished_[blockRow % slots_] = static_cast<unsigned>(waiting_.size());
}

std::optional<PoolTask> PageReader::next(unsigned worker) {
    if (waiting_.empty() && queued_ < grid_.blockRows() && queued_ < released_ + slots_) {
        queueBlockRow();
    }
    // A plane read by rows goes on only where its last rows were read.
    const auto unit = std::ranges::find_if(waiting_, [&](const Unit& candidate) {
        return byRows_ ? !busy_[candidate.index] : worker < handles_.size();
    });
    if (unit == waiting_.end()) {
        return std::nullopt;
    }
    const Unit taken = *unit;
    waiting_.erase(unit);
    const unsigned handle = byRows_ ? taken.index : worker;
    busy_[handle] = true;
    return PoolTask{[this, taken, handle](unsigned) {
                        TiffFile& own = *handles_[handle];
                        if (byRows_) {
                            decodeRows(own, taken);
                        } else {
                            decodeBlock(own, taken);
                        }
                    },
                    [this, taken, handle] {
                        busy_[handle] = false;
                        --unfinished_[taken.blockRow % slots_];
                        while (decoded_ < queued_ && unfinished_[decoded_ % slots_] == 0) {
                            ++decoded_;
                        }
                    }};
}

void PageReader::decodeBlock(TiffFile& handle, const Unit& unit) {
    std::byte* const block = slot(unit.blockRow) + unit.offset;
    const std::string name = std::string(grid_.blockName()) + " " + std::to_string(unit.index);
    const std::size_t stored = form_.storedBytes(unit.bytes);
    if (!readAsSparse(handle, name, unit.index, stored, {block, unit.bytes})) {
        const auto size = static_cast<tmsize_t>(stored);
        const tmsize_t got = page_.tiled
                                 ? TIFFReadEncodedTile(handle.get(), unit.index, block, size)
                                 : TIFFReadEncodedStrip(handle.get(), unit.index, block, size);
        if (got != size) {
            throw handle.failure("cannot read " + name);
        }
        handle.check("cannot read " + name);
    }
    form_.toRing(block, unit.bytes);
}

void PageReader::decodeRows(TiffFile& handle, const Unit& unit) {
    const auto plane = static_cast<std::uint16_t>(unit.index);
    const std::size_t rowBytes = grid_.blockRowBytes() / grid_.blockHeight() / handles_.size();
    const std::uint32_t first = unit.blockRow * grid_.blockHeight();
    for (std::uint32_t y = first; y < first + grid_.rowsIn(unit.blockRow); ++y) {
        std::byte* const row = slot(unit.blockRow) + unit.offset + rowInBlock(y) * rowBytes;
        const std::uint32_t strip = TIFFComputeStrip(handle.get(), y, plane);
        const std::string name = "strip " + std::to_string(strip);
        const std::uint32_t stripTop = y / page_.blockHeight * page_.blockHeight;
        const std::size_t stripBytes =
            form_.storedBytes(rowBytes) * std::min(page_.blockHeight, page_.height - stripTop);
        if (!readAsSparse(handle, name, strip, stripBytes, {row, rowBytes})) {
            if (TIFFReadScanline(handle.get(), row, y, plane) < 0) {
                throw handle.failure("cannot read " + name);
            }
            handle.check("cannot read " + name);
        }
        form_.toRing(row, rowBytes);
    }
}

} // namespace fendral
