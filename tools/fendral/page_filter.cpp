#include "page_filter.h"

#include "band_filter.h"
#include "page_reader.h"
#include "page_writer.h"
#include "parallel_for.h"
#include "row_window.h"

#include <algorithm>
#include <vector>

namespace fendral {

namespace {

// Rows per band: enough that the halo each band reads beyond its rows stays a small share.
constexpr std::uint32_t bandRows = 64;
// Bytes of the rows a chunk may hold, so that very wide pages take fewer rows at a time.
constexpr std::size_t chunkBytes = std::size_t{16} << 20;

// Rows filtered at a time: a band per thread, no more rows than the page has.
std::uint32_t rowsPerChunk(const PageFormat& page, unsigned threads) {
    const std::size_t fitting = std::max<std::size_t>(1, chunkBytes / page.rowBytes());
    const std::size_t rows = std::min<std::size_t>(fitting, std::size_t{bandRows} * threads);
    return static_cast<std::uint32_t>(std::min<std::size_t>(rows, page.height));
}

void filterChunk(std::vector<BandFilter>& filters, const RowWindow& in, std::uint32_t first,
                 std::uint32_t last, RowWindow& out) {
    const auto bands = static_cast<std::uint32_t>(filters.size());
    const std::uint32_t rowsPerBand = (last - first + bands - 1) / bands;
    parallelFor(bands, bands, [&](unsigned worker, std::size_t band) {
        const std::uint32_t from =
            std::min(last, first + static_cast<std::uint32_t>(band) * rowsPerBand);
        filters[worker].run(in, from, std::min(last, from + rowsPerBand), out);
    });
}

} // namespace

void filterPage(const std::function<std::unique_ptr<TiffFile>()>& open, TiffFile& file,
                const PageFormat& page, const PageFormat& output, const Disc& disc,
                const FilterSettings& settings, const RowsDone& rowsDone) {
    const auto reach = static_cast<std::uint32_t>(disc.reach());
    const unsigned threads = std::max(1U, settings.threads);
    const std::uint32_t chunkRows = rowsPerChunk(page, threads);
    PageReader reader(open, page, threads, chunkRows + reach);
    PageWriter writer(file, output, threads, chunkRows);
    if (disc.isSingleTap()) {
        // Nothing to filter: the rows go straight back out.
        RowWindow rows(page.rowBytes(), chunkRows);
        for (std::uint32_t first = 0; first < page.height; first += chunkRows) {
            const std::uint32_t last = std::min(page.height, first + chunkRows);
            reader.readRows(first, last, rows);
            writer.writeRows(first, last, rows);
            rowsDone(last - first);
        }
        return;
    }
    const std::uint32_t bands = std::min(threads, chunkRows);
    RowWindow in(page.rowBytes(), std::min(page.height, chunkRows + 2 * reach));
    RowWindow filtered(page.rowBytes(), chunkRows);
    std::vector<BandFilter> filters(
        bands, BandFilter(page, disc, settings.maxDiff, (chunkRows + bands - 1) / bands));
    std::uint32_t loaded = 0;
    for (std::uint32_t first = 0; first < page.height; first += chunkRows) {
        const std::uint32_t last = std::min(page.height, first + chunkRows);
        const std::uint32_t needed = std::min(page.height, last + reach);
        reader.readRows(loaded, needed, in);
        loaded = needed;
        filterChunk(filters, in, first, last, filtered);
        writer.writeRows(first, last, filtered);
        rowsDone(last - first);
    }
}

} // namespace fendral
