#pragma once

#include "disc.h"
#include "page_format.h"
#include "row_window.h"

#include <cstdint>
#include <vector>

namespace fendral {

// Filters one band of rows of a page, a tile of columns at a time: turns the samples it needs
// into padded float planes, one channel at a time, runs the kernel over them and writes the
// rounded result. The tiles keep the planes small however wide the page. Each worker thread owns
// one, sized up front so that run() never allocates.
class BandFilter {
public:
    BandFilter(const PageFormat& page, const Disc& disc, double maxDiff, std::uint32_t maxRows);

    // Filters rows [first, last) of the page, reading rows first - reach .. last + reach
    // (clamped to the page) from `in` and writing to the same rows of `out`.
    void run(const RowWindow& in, std::uint32_t first, std::uint32_t last, RowWindow& out);

private:
    // Columns [x, x + columns) of rows [first, first + rows).
    struct Tile {
        std::uint32_t first, rows, x, columns;
    };

    template <typename Sample>
    void runTyped(const RowWindow& in, const Tile& tile, RowWindow& out);
    // Fills a plane with a tile and its margins, sample(pixel) giving the value of a pixel.
    template <typename Sample, typename Value>
    void loadPlane(const RowWindow& in, const Tile& tile, std::vector<float>& plane,
                   Value sample) const;
    template <typename Sample>
    void storeRow(const Sample* centre, const Tile& tile, int channel, Sample* out);

    PageFormat page_;
    const Disc& disc_;
    float threshold_;
    int reach_;
    std::uint32_t tileColumns_;
    std::ptrdiff_t stride_;
    std::vector<float> values_;
    std::vector<float> alpha_; // 0..1, only when the page has alpha
    std::vector<float> mean_;
};

} // namespace fendral
