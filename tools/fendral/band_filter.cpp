#include "band_filter.h"

#include "selective_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace fendral {

namespace {

std::size_t planeSizeOf(const PageFormat& page, std::uint32_t columns, std::uint32_t bandRows,
                        int reach) {
    return (std::size_t{columns} + 2 * std::size_t(reach)) *
           (std::min(bandRows, page.height) + 2 * std::size_t(reach));
}

int planesOf(const PageFormat& page) {
    return page.channels + (page.hasAlpha() ? 1 : 0);
}

} // namespace

template <typename T>
PlaneRows<T>::PlaneRows(const PageFormat& page, std::uint32_t columns, std::uint32_t bandRows,
                        int reach)
    : channels_(page.channels)
    , weighted_(page.hasAlpha())
    , columns_(columns)
    , stride_(static_cast<std::ptrdiff_t>(columns) + 2 * reach)
    , planeSize_(planeSizeOf(page, columns, bandRows, reach))
    , values_(planeSize_ * static_cast<std::size_t>(planesOf(page)))
    , means_(std::size_t{columns} * static_cast<std::size_t>(channels_)) {}

template <typename T>
std::size_t PlaneRows<T>::bytesFor(const PageFormat& page, std::uint32_t columns,
                                   std::uint32_t bandRows, int reach) {
    return (planeSizeOf(page, columns, bandRows, reach) * std::size_t(planesOf(page)) +
            std::size_t{columns} * std::size_t(page.channels)) *
           sizeof(T);
}

namespace {

template <typename T>
const PlaneKernel<T>& kernelFor(const PageFormat& page) {
    if constexpr (std::is_same_v<T, double>) {
        return chosenKernel().wide;
    } else {
        return page.levels() ? chosenKernel().levels : chosenKernel().floats;
    }
}

} // namespace

template <typename T>
BandFilter<T>::BandFilter(const PageFormat& page, const Disc& disc, double maxDiff,
                          std::uint32_t bandRows)
    : page_(page)
    , disc_(disc)
    , kernel_(kernelFor<T>(page))
    // MAXDIFF is on the 8-bit scale: 257 times as much between 16-bit samples, and so on.
    , threshold_(static_cast<T>(maxDiff * (page.scaleMax - page.scaleMin) / 255.0))
    , reach_(disc.reach())
    , bandRows_(bandRows)
    , premultiplied_(page.extra == ExtraSample::associatedAlpha && !disc.isSingleTap()) {}

template <typename T>
std::uint32_t BandFilter<T>::firstRowRead(std::uint32_t band) const {
    const std::int64_t first = std::int64_t{band} * bandRows_ - reach_;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(first, 0, page_.height - 1));
}

template <typename T>
void BandFilter<T>::run(const Lane& lane, std::uint32_t band, bool continues, PlaneRows<T>& rows,
                        const PageReader& in, PageWriter& out) const {
    const std::uint32_t first = band * bandRows_;
    const std::uint32_t last = std::min(page_.height, first + bandRows_);
    const auto reach = static_cast<std::size_t>(reach_);
    std::size_t planeRow = 0;
    std::int64_t y = std::int64_t{first} - reach_;
    if (continues) {
        // The rows the band before read below its own are the first this one reads.
        const auto stride = static_cast<std::size_t>(rows.stride());
        for (int plane = 0; plane < rows.planes(); ++plane) {
            std::memmove(rows.plane(plane), rows.plane(plane) + bandRows_ * stride,
                         2 * reach * stride * sizeof(T));
        }
        planeRow = 2 * reach;
        y = std::int64_t{first} + reach_;
    }
    // Edges replicate: the rows beyond the page repeat its first or last.
    for (; y < std::int64_t{last} + reach_; ++y, ++planeRow) {
        const auto source =
            static_cast<std::uint32_t>(std::clamp<std::int64_t>(y, 0, page_.height - 1));
        convertRow(lane, source, rows, planeRow, in);
    }
    for (std::uint32_t row = first; row < last; ++row) {
        storeRow(lane, row, rows, row - first + reach, out);
    }
}

template <typename T>
void BandFilter<T>::convertRow(const Lane& lane, std::uint32_t y, PlaneRows<T>& rows,
                               std::size_t planeRow, const PageReader& in) const {
    const std::int64_t left = std::int64_t{lane.x} - reach_; // page column of plane column 0
    const auto from = static_cast<std::uint32_t>(std::max<std::int64_t>(0, left));
    const auto to = static_cast<std::uint32_t>(
        std::min<std::int64_t>(page_.width, std::int64_t{lane.x} + lane.columns + reach_));
    const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(planeRow) * rows.stride();
    const BlockGrid& grid = in.grid();
    const std::byte* const blocks = in.blockRowOf(y);
    grid.forEachRun(
        in.rowInBlock(y), from, to, [&](std::uint32_t x, std::uint32_t count, std::size_t offset) {
            for (int c = 0; c < page_.channels; ++c) {
                kernel_.toPlane(blocks + offset + grid.channelOffset(c), page_.bytesPerSample(),
                                grid.channelsPerPlane(), count, rows.plane(c) + at + (x - left));
            }
        });
    // Edges replicate: the columns beyond the page repeat its first or last.
    const std::ptrdiff_t start = from - left;
    const std::ptrdiff_t end = to - left;
    const std::ptrdiff_t width = rows.stride();
    for (int c = 0; c < page_.channels; ++c) {
        T* row = rows.plane(c) + at;
        std::fill(row, row + start, row[start]);
        std::fill(row + end, row + width, row[end - 1]);
    }
    if (page_.hasAlpha()) {
        weighAlpha(rows, at);
    }
}

template <typename T>
void BandFilter<T>::weighAlpha(PlaneRows<T>& rows, std::ptrdiff_t at) const {
    const std::ptrdiff_t width = rows.stride();
    const int colours = page_.colourChannels;
    const T* alpha = rows.plane(colours) + at;
    if (!page_.levels()) {
        // Alpha on the page's scale; premultiplied colours divided by it, integers rounded.
        const auto low = static_cast<T>(page_.scaleMin);
        const auto range = static_cast<T>(page_.scaleMax - page_.scaleMin);
        T* weights = rows.weights() + at;
        for (std::ptrdiff_t i = 0; i < width; ++i) {
            const T weight = (alpha[i] - low) / range;
            weights[i] = weight > 0 ? std::min(weight, T(1)) : T(0); // NaN too
        }
        for (int c = 0; c < colours && premultiplied_; ++c) {
            T* row = rows.plane(c) + at;
            for (std::ptrdiff_t i = 0; i < width; ++i) {
                const T plain = weights[i] > 0 ? row[i] / weights[i] : T(0);
                row[i] = page_.floating()
                             ? plain
                             : std::min(static_cast<T>(page_.scaleMax), std::floor(plain + T(0.5)));
            }
        }
        return;
    }
    const std::uint64_t max = page_.maxValue();
    for (int c = 0; c < colours && premultiplied_; ++c) {
        T* row = rows.plane(c) + at;
        for (std::ptrdiff_t i = 0; i < width; ++i) {
            // Divide the alpha out, to the nearest level.
            const auto value = static_cast<std::uint64_t>(row[i]);
            const auto weight = static_cast<std::uint64_t>(alpha[i]);
            row[i] = static_cast<T>(
                weight == 0 ? 0 : std::min(max, (value * max + weight / 2) / weight));
        }
    }
    const T scale = T(1) / static_cast<T>(max);
    std::transform(alpha, alpha + width, rows.weights() + at,
                   [scale](T value) { return value * scale; });
}

template <typename T>
void BandFilter<T>::storeRow(const Lane& lane, std::uint32_t y, PlaneRows<T>& rows,
                             std::size_t planeRow, PageWriter& out) const {
    const std::ptrdiff_t centre = static_cast<std::ptrdiff_t>(planeRow) * rows.stride() + reach_;
    const int colours = page_.colourChannels;
    for (int c = 0; c < page_.channels; ++c) {
        const T* values = rows.plane(c) + centre;
        if (c >= colours || disc_.isSingleTap()) {
            // Alpha, or an extra sample of unknown meaning, passes through unchanged.
            std::copy_n(values, lane.columns, rows.means(c));
            continue;
        }
        const BandPlanes<T> planes{values, page_.hasAlpha() ? rows.weights() + centre : nullptr,
                                   rows.stride()};
        smoothRow(disc_, threshold_, planes, 0, static_cast<int>(lane.columns), rows.means(c),
                  kernel_);
    }
    const auto max = static_cast<T>(page_.scaleMax);
    for (int c = 0; c < colours && premultiplied_; ++c) {
        const T* alpha = rows.plane(colours) + centre;
        const T* weights = rows.weights() + centre;
        T* mean = rows.means(c);
        for (std::uint32_t i = 0; i < lane.columns; ++i) {
            mean[i] = page_.levels() ? mean[i] * alpha[i] / max : mean[i] * weights[i];
        }
    }
    const BlockGrid& grid = out.grid();
    std::byte* const blocks = out.blockRowOf(y);
    grid.forEachRun(out.rowInBlock(y), lane.x, lane.x + lane.columns,
                    [&](std::uint32_t x, std::uint32_t count, std::size_t offset) {
                        for (int c = 0; c < page_.channels; ++c) {
                            kernel_.fromPlane(rows.means(c) + (x - lane.x), count, max,
                                              page_.bytesPerSample(), grid.channelsPerPlane(),
                                              blocks + offset + grid.channelOffset(c));
                        }
                    });
}

template class PlaneRows<float>;
template class PlaneRows<double>;
template class BandFilter<float>;
template class BandFilter<double>;

} // namespace fendral
