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
    const std::uint32_t chunkRows = bandRows * threads;
    RowWindow in(page.rowBytes(), chunkRows + 2 * reach);
    RowWindow out(page.rowBytes(), chunkRows);
    std::vector<BandFilter> filters(threads, BandFilter(page, disc, settings.maxDiff, bandRows));
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
