#include "listed_blocks.h"

#include "failure.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fendral {

namespace {

// A tag of the directory as the file holds it: how many values, and the first if it is a number
// held in the entry itself.
struct Entry {
    std::uint64_t count = 0;
    std::uint64_t value = 0;
};

std::vector<unsigned char> bytesAt(TIFF* tif, std::uint64_t offset, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    const thandle_t file = TIFFClientdata(tif);
    if (TIFFGetSeekProc(tif)(file, offset, SEEK_SET) != offset ||
        TIFFGetReadProc(tif)(file, bytes.data(), static_cast<tmsize_t>(size)) !=
            static_cast<tmsize_t>(size)) {
        bytes.clear();
    }
    return bytes;
}

class Numbers {
public:
    explicit Numbers(TIFF* tif)
        : bigEndian_(TIFFIsBigEndian(tif) != 0) {}
    std::uint64_t at(const unsigned char* bytes, int size) const {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= std::uint64_t{bytes[bigEndian_ ? size - 1 - i : i]} << (8 * i);
        }
        return value;
    }

private:
    bool bigEndian_;
};

// The entries of the current directory, by tag: libtiff has read it already, so it is whole.
std::map<std::uint16_t, Entry> entriesOf(TIFF* tif) {
    const Numbers number(tif);
    const bool big = TIFFIsBigTIFF(tif) != 0;
    const int countBytes = big ? 8 : 2;
    const int entryBytes = big ? 20 : 12;
    const int fieldBytes = big ? 8 : 4; // of an entry's count, and of its value
    const std::uint64_t directory = TIFFCurrentDirOffset(tif);
    const std::vector<unsigned char> head = bytesAt(tif, directory, std::size_t(countBytes));
    const std::uint64_t entries = head.empty() ? 0 : number.at(head.data(), countBytes);
    const std::vector<unsigned char> table =
        bytesAt(tif, directory + std::uint64_t(countBytes),
                std::size_t(entries * std::uint64_t(entryBytes)));
    std::map<std::uint16_t, Entry> byTag;
    for (std::size_t at = 0; at < table.size(); at += std::size_t(entryBytes)) {
        const unsigned char* entry = &table[at];
        const auto type = number.at(entry + 2, 2);
        const int valueBytes = type == TIFF_SHORT ? 2 : type == TIFF_LONG8 ? 8 : 4;
        byTag[std::uint16_t(number.at(entry, 2))] = {number.at(entry + 4, fieldBytes),
                                                     number.at(entry + 4 + fieldBytes, valueBytes)};
    }
    return byTag;
}

} // namespace

void checkBlocksListed(TIFF* tif, const PageFormat& page) {
    std::map<std::uint16_t, Entry> entries = entriesOf(tif);
    std::uint64_t needed = 0;
    if (page.tiled) {
        needed = TIFFNumberOfTiles(tif);
    } else {
        // The file's own RowsPerStrip, before libtiff cuts a single large strip into several.
        const std::uint64_t rows = std::clamp<std::uint64_t>(
            entries.contains(TIFFTAG_ROWSPERSTRIP) ? entries[TIFFTAG_ROWSPERSTRIP].value
                                                   : page.height,
            1, page.height);
        needed = (page.height + rows - 1) / rows * std::uint64_t(page.planar ? page.channels : 1);
    }
    const std::uint16_t offsets = page.tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS;
    const std::uint16_t counts = page.tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS;
    // Without byte counts libtiff works them out from the offsets.
    const std::uint64_t listed = std::min(
        entries[offsets].count, entries.contains(counts) ? entries[counts].count : UINT64_MAX);
    if (listed < needed) {
        const std::string block = page.tiled ? "tile" : "strip";
        throw Failure(block + " " + std::to_string(listed) + " is missing: the page lists " +
                      std::to_string(listed) + " of its " + std::to_string(needed) + " " + block +
                      "s");
    }
}

std::uint64_t largestStoredBlock(TIFF* tif) {
    const std::uint32_t blocks =
        TIFFIsTiled(tif) != 0 ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    std::uint64_t largest = 0;
    for (std::uint32_t block = 0; block < blocks; ++block) {
        largest = std::max(largest, TIFFGetStrileByteCount(tif, block));
    }
    return std::min(largest, std::uint64_t{TIFFGetSizeProc(tif)(TIFFClientdata(tif))});
}

} // namespace fendral
