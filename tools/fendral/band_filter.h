#pragma once

#include "disc.h"
#include "page_format.h"
#include "page_reader.h"
#include "page_writer.h"
#include "selective_kernel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fendral {

// Columns [x, x + columns) of a page: the page is filtered a lane at a time, band after band.
struct Lane {
    std::uint32_t x;
    std::uint32_t columns;
};

// What a band of a lane reads, as planes of floats (or doubles, see PageFormat::widePlanes) padded
// by the filter's reach, one per channel (and the weights alpha gives), and the means of one row.
template <typename T>
class PlaneRows {
public:
    PlaneRows(const PageFormat& page, std::uint32_t columns, std::uint32_t bandRows, int reach);

    T* plane(int channel) { return values_.data() + std::size_t(channel) * planeSize_; }
    T* weights() { return plane(channels_); }
    T* means(int channel) { return means_.data() + std::size_t(channel) * columns_; }
    std::ptrdiff_t stride() const { return stride_; }
    int planes() const { return channels_ + (weighted_ ? 1 : 0); }
    // What such planes take.
    static std::size_t bytesFor(const PageFormat& page, std::uint32_t columns,
                                std::uint32_t bandRows, int reach);

private:
    int channels_;
    bool weighted_;
    std::uint32_t columns_;
    std::ptrdiff_t stride_;
    std::size_t planeSize_;
    std::vector<T> values_;
    std::vector<T> means_;
};

// Filters the page in bands of rows, a lane at a time: turns each input row the band reaches into
// planes in one pass over its samples, straight from the decoded blocks, runs the kernel over
// them and writes the rounded result straight into the output's blocks. Lanes keep the planes
// small however wide the page. Used by several workers at once: all it changes is `rows`.
template <typename T>
class BandFilter {
public:
    BandFilter(const PageFormat& page, const Disc& disc, double maxDiff, std::uint32_t bandRows);

    std::uint32_t bandRows() const { return bandRows_; }
    int reach() const { return reach_; }
    // The first input row that band `band` of a lane reads (planes that continue from the band
    // before already hold it).
    std::uint32_t firstRowRead(std::uint32_t band) const;

    // Filters band `band` of `lane` from the decoded rows of `in` into the rows of `out`. When
    // `continues`, rows holds the lane's band before, and converts only the rows it has not.
    void run(const Lane& lane, std::uint32_t band, bool continues, PlaneRows<T>& rows,
             const PageReader& in, PageWriter& out) const;

private:
    void convertRow(const Lane& lane, std::uint32_t y, PlaneRows<T>& rows, std::size_t planeRow,
                    const PageReader& in) const;
    // Colours as plain colours, and alpha as the weights 0..1.
    void weighAlpha(PlaneRows<T>& rows, std::ptrdiff_t at) const;
    void storeRow(const Lane& lane, std::uint32_t y, PlaneRows<T>& rows, std::size_t planeRow,
                  PageWriter& out) const;

    PageFormat page_;
    const Disc& disc_;
    const PlaneKernel<T>& kernel_;
    T threshold_;
    int reach_;
    std::uint32_t bandRows_;
    // Colours are compared and averaged plain: premultiplied ones are divided by alpha first.
    bool premultiplied_;
};

} // namespace fendral
