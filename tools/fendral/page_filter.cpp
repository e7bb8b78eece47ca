#include "page_filter.h"

#include "band_filter.h"
#include "row_window.h"

#include <algorithm>
#include <thread>
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

void copyPage(PageReader& reader, PageWriter& writer, const PageFormat& page,
              const RowsDone& rowsDone) {
    RowWindow row(page.rowBytes(), 1);
    for (std::uint32_t y = 0; y < page.height; ++y) {
        reader.readRow(y, row.row(y));
        writer.writeRow(y, row.row(y));
        rowsDone(1);
    }
}

void filterChunk(std::vector<BandFilter>& filters, const RowWindow& in, std::uint32_t first,
                 std::uint32_t last, RowWindow& out) {
    const auto bands = static_cast<std::uint32_t>(filters.size());
    const std::uint32_t rowsPerBand = (last - first + bands - 1) / bands;
    std::vector<std::jthread> workers;
    for (std::uint32_t band = 1; band < bands; ++band) {
        const std::uint32_t from = std::min(last, first + band * rowsPerBand);
        const std::uint32_t to = std::min(last, from + rowsPerBand);
        if (from < to) {
            workers.emplace_back([&, band, from, to] { filters[band].run(in, from, to, out); });
        }
    }
    filters[0].run(in, first, std::min(last, first + rowsPerBand), out);
}

} // namespace

void filterPage(PageReader& reader, PageWriter& writer, const PageFormat& page, const Disc& disc,
                const FilterSettings& settings, const RowsDone& rowsDone) {
    if (disc.isSingleTap()) {
        copyPage(reader, writer, page, rowsDone);
        return;
    }
    const auto reach = static_cast<std::uint32_t>(disc.reach());
    const unsigned threads = std::max(1U, settings.threads);
    const std::uint32_t chunkRows = rowsPerChunk(page, threads);
    const std::uint32_t bands = std::min(threads, chunkRows);
    RowWindow in(page.rowBytes(), std::min(page.height, chunkRows + 2 * reach));
    RowWindow out(page.rowBytes(), chunkRows);
    std::vector<BandFilter> filters(
        bands, BandFilter(page, disc, settings.maxDiff, (chunkRows + bands - 1) / bands));
    std::uint32_t loaded = 0;
    for (std::uint32_t first = 0; first < page.height; first += chunkRows) {
        const std::uint32_t last = std::min(page.height, first + chunkRows);
        for (; loaded < std::min(page.height, last + reach); ++loaded) {
            reader.readRow(loaded, in.row(loaded));
        }
        filterChunk(filters, in, first, last, out);
        for (std::uint32_t y = first; y < last; ++y) {
            writer.writeRow(y, out.row(y));
        }
        rowsDone(last - first);
    }
}

} // namespace fendral
