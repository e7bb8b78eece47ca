#include "page_writer.h"

#include <string>

namespace fendral {

PageWriter::PageWriter(TiffFile& file, const PageFormat& page)
    : file_(file)
    , page_(page)
    , grid_(page)
    , blocks_(grid_.blockRowBytes()) {}

void PageWriter::writeRow(std::uint32_t y, const std::byte* row) {
    const std::uint32_t blockRow = y / grid_.blockHeight();
    const std::uint32_t rowInBlock = y % grid_.blockHeight();
    grid_.scatterRow(row, rowInBlock, blocks_.data());
    if (rowInBlock + 1 == grid_.rowsIn(blockRow)) {
        flush(blockRow);
    }
}

void PageWriter::flush(std::uint32_t blockRow) {
    grid_.forEachBlock(blockRow, [&](std::uint32_t index, std::size_t offset, std::size_t bytes) {
        std::byte* block = blocks_.data() + offset;
        const auto size = static_cast<tmsize_t>(bytes);
        const tmsize_t written = page_.tiled
                                     ? TIFFWriteEncodedTile(file_.get(), index, block, size)
                                     : TIFFWriteEncodedStrip(file_.get(), index, block, size);
        const std::string what =
            std::string("cannot write ") + grid_.blockName() + " " + std::to_string(index);
        if (written < 0) {
            throw file_.failure(what);
        }
        file_.check(what);
    });
}

} // namespace fendral
