// libFuzzer target: reads a TIFF from memory, filters every page into a TIFF in memory, and
// checks that what was written reads back as the same pages.
#include "block_grid.h"
#include "memory_file.h"
#include "page_tags.h"
#include "tiff_pipeline.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

// Keeps each run small, so the fuzzer spends its time on odd files rather than on large ones.
bool smallEnough(const std::vector<fendral::PageFormat>& pages) {
    std::uint64_t pixels = 0;
    for (const fendral::PageFormat& page : pages) {
        pixels += std::uint64_t{page.width} * page.height;
        if (fendral::BlockGrid(page).blockRowBytes() > (std::size_t{16} << 20)) {
            return false;
        }
    }
    return pages.size() <= 16 && pixels <= (1U << 20);
}

// Whether page b, read back, has the layout that page a is written with (a palette as RGB).
bool writtenAs(const fendral::PageFormat& input, const fendral::PageFormat& b) {
    const fendral::PageFormat a = fendral::outputFormat(input);
    return a.width == b.width && a.height == b.height && a.channels == b.channels &&
           a.bitsPerSample == b.bitsPerSample && a.sampleFormat == b.sampleFormat &&
           a.photometric == b.photometric && a.extra == b.extra && a.planar == b.planar &&
           a.compression == b.compression;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    using fendral::MemoryFile;
    using fendral::TiffFile;
    // The first byte picks the settings, so the fuzzer explores radii and thresholds too.
    const fendral::FilterSettings settings{(data[0] % 8) * 0.5, (data[0] / 8) * 4.0, 2};
    const fendral::Disc disc(settings.radius);
    // Each handle reads its own copy of the bytes, at a position of its own.
    std::vector<std::unique_ptr<MemoryFile>> copies;
    const auto opener = [&](const std::vector<std::uint8_t>& bytes) -> fendral::OpenInput {
        return [&] {
            MemoryFile& copy = *copies.emplace_back(std::make_unique<MemoryFile>(bytes));
            return std::make_unique<TiffFile>(
                "input",
                [&](TIFFOpenOptions* options) {
                    TIFFOpenOptionsSetMaxSingleMemAlloc(options, 64 << 20);
                    return copy.open("input", "rh", options);
                },
                "cannot open as TIFF");
        };
    };
    const std::vector<std::uint8_t> input(data + 1, data + size);
    MemoryFile output;
    std::vector<fendral::PageFormat> pages;
    std::vector<std::string> notKept;
    try {
        pages = fendral::scanPages(opener(input), disc, notKept);
        if (!smallEnough(pages)) {
            return 0;
        }
        TiffFile out(
            "output", [&](TIFFOpenOptions* options) { return output.open("output", "w", options); },
            "cannot start writing");
        fendral::filterPages(
            opener(input), out, pages, disc, settings, [](std::uint32_t) {}, notKept);
        out.close();
    } catch (const fendral::Failure&) {
        return 0;
    }
    // Whatever was written must read back as the same pages.
    try {
        const std::vector<fendral::PageFormat> again =
            fendral::scanPages(opener(output.bytes()), disc, notKept);
        if (again.size() != pages.size() ||
            !std::equal(pages.begin(), pages.end(), again.begin(), writtenAs)) {
            __builtin_trap();
        }
    } catch (const fendral::Failure&) {
        __builtin_trap();
    }
    return 0;
}
