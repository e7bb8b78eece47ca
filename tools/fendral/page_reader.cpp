#include "page_reader.h"

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

PageFormat rowByRow(PageFormat page) {
    page.blockHeight = 1;
    return page;
}

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
                const std::string name =
                    std::string(grid_.blockName()) + " " + std::to_string(index);
                if (readAsSparse(handle, name, index, bytes, {block, bytes})) {
                    return;
                }
                const auto size = static_cast<tmsize_t>(bytes);
                const tmsize_t got = page_.tiled
                                         ? TIFFReadEncodedTile(handle.get(), index, block, size)
                                         : TIFFReadEncodedStrip(handle.get(), index, block, size);
                if (got != size) {
                    throw handle.failure("cannot read " + name);
                }
                handle.check("cannot read " + name);
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
            const auto sample = static_cast<std::uint16_t>(plane);
            for (std::uint32_t y = first; y < last; ++y) {
                std::byte* row = slot(y) + plane * planeBytes;
                const std::uint32_t strip = TIFFComputeStrip(handle.get(), y, sample);
                const std::string name = "strip " + std::to_string(strip);
                const std::uint32_t stripTop = y / page_.blockHeight * page_.blockHeight;
                const std::size_t stripBytes =
                    planeBytes * std::min(page_.blockHeight, page_.height - stripTop);
                if (readAsSparse(handle, name, strip, stripBytes, {row, planeBytes})) {
                    continue;
                }
                if (TIFFReadScanline(handle.get(), row, y, sample) < 0) {
                    throw handle.failure("cannot read " + name);
                }
                handle.check("cannot read " + name);
            }
        });
    }
    return tasks;
}

} // namespace fendral
