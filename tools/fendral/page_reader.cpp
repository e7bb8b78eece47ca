#include "page_reader.h"

#include <algorithm>
#include <string>

namespace fendral {

PageReader::PageReader(TiffFile& file, const PageFormat& page)
    : file_(file)
    , page_(page)
    , grid_(page)
    , blocks_(grid_.blockRowBytes()) {
    if (page.photometric == PHOTOMETRIC_YCBCR) {
        // Only JPEG-compressed YCbCr gets here: have the codec hand out RGB.
        TIFFSetField(file.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
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
        std::byte* block = blocks_.data() + offset;
        const auto size = static_cast<tmsize_t>(bytes);
        const tmsize_t got = page_.tiled ? TIFFReadEncodedTile(file_.get(), index, block, size)
                                         : TIFFReadEncodedStrip(file_.get(), index, block, size);
        if (got < 0) {
            throw file_.failure(std::string("cannot read ") + grid_.blockName() + " " +
                                std::to_string(index));
        }
        // libtiff accepts some truncated blocks; what is missing reads as zero.
        std::fill(block + got, block + bytes, std::byte{0});
    });
    loaded_ = blockRow;
}

} // namespace fendral
