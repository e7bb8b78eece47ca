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

PageReader::PageReader(const std::function<std::unique_ptr<TiffFile>()>& open,
                       const PageFormat& page)
    : page_(page)
    , byRows_(readsByRows(page))
    , grid_(byRows_ ? rowByRow(page) : page)
    , blocks_(grid_.blockRowBytes()) {
    const int planes = byRows_ && page.planar ? page.channels : 1;
    for (int plane = 0; plane < planes; ++plane) {
        auto& handle = handles_.emplace_back(open());
        handle->setPlace(page.place);
        handle->forgetErrors(); // those of the first page, read on opening
        if (TIFFSetSubDirectory(handle->get(), page.directory) == 0) {
            throw handle->failure("cannot read the page");
        }
        handle->check("cannot read the page");
        if (page.photometric == PHOTOMETRIC_YCBCR) {
            // Only JPEG-compressed YCbCr gets here: have the codec hand out RGB.
            TIFFSetField(handle->get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        }
    }
}

void PageReader::readRow(std::uint32_t y, std::byte* row) {
    const std::uint32_t blockRow = y / grid_.blockHeight();
    if (blockRow != loaded_) {
        load(blockRow);
    }
    grid_.gatherRow(blocks_.data(), y % grid_.blockHeight(), row);
}

void PageReader::load(std::uint32_t blockRow) {
    loaded_ = UINT32_MAX; // stays so if decoding fails half way
    grid_.forEachBlock(blockRow, [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
        readBlock(blockRow, index, offset, bytes);
    });
    loaded_ = blockRow;
}

void PageReader::readBlock(std::uint32_t blockRow, std::uint32_t index, std::size_t offset,
                           std::size_t bytes) {
    std::byte* block = blocks_.data() + offset;
    const std::string what = std::string("cannot read ") + grid_.blockName() + " " +
                             std::to_string(byRows_ ? blockRow / page_.blockHeight : index);
    if (byRows_) {
        // Row blocks are numbered plane by plane, like strips.
        const auto plane = static_cast<std::uint16_t>(index / page_.height);
        TiffFile& handle = *handles_[plane];
        if (TIFFReadScanline(handle.get(), block, blockRow, plane) < 0) {
            throw handle.failure(what);
        }
        handle.check(what);
        return;
    }
    TiffFile& handle = *handles_.front();
    const auto size = static_cast<tmsize_t>(bytes);
    const tmsize_t got = page_.tiled ? TIFFReadEncodedTile(handle.get(), index, block, size)
                                     : TIFFReadEncodedStrip(handle.get(), index, block, size);
    if (got < 0) {
        throw handle.failure(what);
    }
    handle.check(what);
    // libtiff accepts some truncated blocks; what is missing reads as zero.
    std::fill(block + got, block + bytes, std::byte{0});
}

} // namespace fendral
