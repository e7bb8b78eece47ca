#pragma once

#include "disc.h"
#include "page_format.h"
#include "row_window.h"

#include <cstdint>
#include <vector>

namespace fendral {

// Filters one band of rows of a page: turns the rows it needs into padded float planes, one
// channel at a time, runs the kernel over them and writes the rounded result. Each worker
// thread owns one, sized up front so that run() never allocates.
class BandFilter {
public:
    BandFilter(const PageFormat& page, const Disc& disc, double maxDiff, std::uint32_t maxRows);

    // Filters rows [first, last) of the page, reading rows first - reach .. last + reach
    // (clamped to the page) from `in` and writing to the same rows of `out`.
    void run(const RowWindow& in, std::uint32_t first, std::uint32_t last, RowWindow& out);

private:
    template <typename Sample>
    void runTyped(const RowWindow& in, std::uint32_t first, std::uint32_t last, RowWindow& out);
    template <typename Sample>
    void loadAlpha(const RowWindow& in, std::uint32_t first, std::uint32_t rows);
    template <typename Sample>
    void loadChannel(const RowWindow& in, std::uint32_t first, std::uint32_t rows, int channel);
    template <typename Sample>
    void storeRow(const Sample* centre, int channel, Sample* out) const;
    // The page row that plane row `planeRow` of a band starting at `first` shows.
    std::uint32_t sourceRow(std::uint32_t first, std::uint32_t planeRow) const;
    // Repeats the first and last samples of plane row `planeRow` into its padding.
    void padRow(std::vector<float>& plane, std::uint32_t planeRow) const;

    PageFormat page_;
    const Disc& disc_;
    float threshold_;
    int reach_;
    std::ptrdiff_t stride_;
    std::vector<float> values_;
    std::vector<float> alpha_; // 0..1, only when the page has alpha
    std::vector<float> mean_;
};

} // namespace fendral
