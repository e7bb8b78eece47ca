#include "band_filter.h"

#include "selective_kernel.h"

#include <algorithm>
#include <cstring>

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

FloatRows::FloatRows(const PageFormat& page, std::uint32_t columns, std::uint32_t bandRows,
                     int reach)
    : channels_(page.channels)
    , weighted_(page.hasAlpha())
    , columns_(columns)
    , stride_(static_cast<std::ptrdiff_t>(columns) + 2 * reach)
    , planeSize_(planeSizeOf(page, columns, bandRows, reach))
    , values_(planeSize_ * static_cast<std::size_t>(planesOf(page)))
    , means_(std::size_t{columns} * static_cast<std::size_t>(channels_)) {}

std::size_t FloatRows::bytesFor(const PageFormat& page, std::uint32_t columns,
                                std::uint32_t bandRows, int reach) {
    return (planeSizeOf(page, columns, bandRows, reach) * std::size_t(planesOf(page)) +
            std::size_t{columns} * std::size_t(page.channels)) *
           sizeof(float);
}

BandFilter::BandFilter(const PageFormat& page, const Disc& disc, double maxDiff,
                       std::uint32_t bandRows)
    : page_(page)
    , disc_(disc)
    , kernel_(chosenKernel())
    // MAXDIFF is on the 8-bit scale: 257 times as much between 16-bit samples.
    , threshold_(static_cast<float>(maxDiff * page.maxValue() / 255.0))
    , reach_(disc.reach())
    , bandRows_(bandRows)
    , premultiplied_(page.extra == ExtraSample::associatedAlpha && !disc.isSingleTap()) {}

std::uint32_t BandFilter::firstRowRead(std::uint32_t band) const {
    const std::int64_t first = std::int64_t{band} * bandRows_ - reach_;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(first, 0, page_.height - 1));
}

void BandFilter::run(const Lane& lane, std::uint32_t band, bool continues, FloatRows& rows,
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
                         2 * reach * stride * sizeof(float));
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

void BandFilter::convertRow(const Lane& lane, std::uint32_t y, FloatRows& rows,
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
                kernel_.toFloats(blocks + offset + grid.channelOffset(c), page_.bytesPerSample(),
                                 grid.channelsPerPlane(), count, rows.plane(c) + at + (x - left));
            }
        });
    // Edges replicate: the columns beyond the page repeat its first or last.
    const std::ptrdiff_t start = from - left;
    const std::ptrdiff_t end = to - left;
    const std::ptrdiff_t width = rows.stride();
    for (int c = 0; c < page_.channels; ++c) {
        float* row = rows.plane(c) + at;
        std::fill(row, row + start, row[start]);
        std::fill(row + end, row + width, row[end - 1]);
    }
    if (!page_.hasAlpha()) {
        return;
    }
    const int colours = page_.colourChannels;
    const float* alpha = rows.plane(colours) + at;
    const std::uint64_t max = page_.maxValue();
    for (int c = 0; c < colours && premultiplied_; ++c) {
        float* row = rows.plane(c) + at;
        for (std::ptrdiff_t i = 0; i < width; ++i) {
            // Divide the alpha out, to the nearest level.
            const auto value = static_cast<std::uint64_t>(row[i]);
            const auto weight = static_cast<std::uint64_t>(alpha[i]);
            row[i] = static_cast<float>(
                weight == 0 ? 0 : std::min(max, (value * max + weight / 2) / weight));
        }
    }
    const float scale = 1.0F / static_cast<float>(max);
    std::transform(alpha, alpha + width, rows.weights() + at,
                   [scale](float value) { return value * scale; });
}

void BandFilter::storeRow(const Lane& lane, std::uint32_t y, FloatRows& rows, std::size_t planeRow,
                          PageWriter& out) const {
    const std::ptrdiff_t centre = static_cast<std::ptrdiff_t>(planeRow) * rows.stride() + reach_;
    const int colours = page_.colourChannels;
    for (int c = 0; c < page_.channels; ++c) {
        const float* values = rows.plane(c) + centre;
        if (c >= colours || disc_.isSingleTap()) {
            // Alpha, or an extra sample of unknown meaning, passes through unchanged.
            std::copy_n(values, lane.columns, rows.means(c));
            continue;
        }
        const BandPlanes planes{values, page_.hasAlpha() ? rows.weights() + centre : nullptr,
                                rows.stride()};
        smoothRow(disc_, threshold_, planes, 0, static_cast<int>(lane.columns), rows.means(c),
                  kernel_);
    }
    const auto max = static_cast<float>(page_.maxValue());
    for (int c = 0; c < colours && premultiplied_; ++c) {
        const float* alpha = rows.plane(colours) + centre;
        float* mean = rows.means(c);
        for (std::uint32_t i = 0; i < lane.columns; ++i) {
            mean[i] = mean[i] * alpha[i] / max;
        }
    }
    const BlockGrid& grid = out.grid();
    std::byte* const blocks = out.blockRowOf(y);
    grid.forEachRun(out.rowInBlock(y), lane.x, lane.x + lane.columns,
                    [&](std::uint32_t x, std::uint32_t count, std::size_t offset) {
                        for (int c = 0; c < page_.channels; ++c) {
                            kernel_.toSamples(rows.means(c) + (x - lane.x), count, max,
                                              page_.bytesPerSample(), grid.channelsPerPlane(),
                                              blocks + offset + grid.channelOffset(c));
                        }
                    });
}

} // namespace fendral
