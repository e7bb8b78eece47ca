#include "band_filter.h"

#include "selective_kernel.h"

#include <algorithm>
#include <cmath>

namespace fendral {

namespace {

// Wide enough that the margins of a tile stay a small share of it.
constexpr std::uint32_t tileColumns = 2048;

} // namespace

BandFilter::BandFilter(const PageFormat& page, const Disc& disc, double maxDiff,
                       std::uint32_t maxRows)
    : page_(page)
    , disc_(disc)
    // MAXDIFF is on the 8-bit scale: 257 times as much between 16-bit samples.
    , threshold_(static_cast<float>(maxDiff * page.maxValue() / 255.0))
    , reach_(disc.reach())
    , tileColumns_(std::min(page.width, tileColumns))
    , stride_(static_cast<std::ptrdiff_t>(tileColumns_) + 2 * reach_) {
    const auto planeSize = static_cast<std::size_t>(stride_) * (maxRows + 2 * reach_);
    values_.resize(planeSize);
    alpha_.resize(page.hasAlpha() ? planeSize : 0);
    mean_.resize(tileColumns_);
}

void BandFilter::run(const RowWindow& in, std::uint32_t first, std::uint32_t last, RowWindow& out) {
    for (std::uint32_t x = 0; x < page_.width; x += tileColumns_) {
        const Tile tile{first, last - first, x, std::min(tileColumns_, page_.width - x)};
        if (page_.bitsPerSample == 8) {
            runTyped<std::uint8_t>(in, tile, out);
        } else {
            runTyped<std::uint16_t>(in, tile, out);
        }
    }
}

template <typename Sample, typename Value>
void BandFilter::loadPlane(const RowWindow& in, const Tile& tile, std::vector<float>& plane,
                           Value sample) const {
    const std::int64_t lastRow = std::int64_t{page_.height} - 1;
    const std::int64_t lastColumn = std::int64_t{page_.width} - 1;
    // Edges replicate: the margins beyond the page repeat its first or last pixel.
    const auto from =
        static_cast<std::uint32_t>(std::max<std::int64_t>(0, std::int64_t{tile.x} - reach_));
    const auto to = static_cast<std::uint32_t>(
        std::min<std::int64_t>(lastColumn, std::int64_t{tile.x} + tile.columns + reach_ - 1));
    const std::int64_t origin = std::int64_t{tile.x} - reach_; // page column of plane column 0
    for (std::uint32_t planeRow = 0; planeRow < tile.rows + 2 * reach_; ++planeRow) {
        const std::int64_t y = std::int64_t{tile.first} + planeRow - reach_;
        const Sample* source =
            in.rowOf<Sample>(static_cast<std::uint32_t>(std::clamp<std::int64_t>(y, 0, lastRow)));
        float* row = plane.data() + static_cast<std::ptrdiff_t>(planeRow) * stride_;
        const auto left = static_cast<std::ptrdiff_t>(from - origin);
        const auto right = static_cast<std::ptrdiff_t>(to - origin);
        for (std::uint32_t x = from; x <= to; ++x) {
            row[x - origin] = sample(source + std::size_t{x} * page_.channels);
        }
        std::fill(row, row + left, row[left]);
        std::fill(row + right + 1, row + tile.columns + 2 * reach_, row[right]);
    }
}

template <typename Sample>
void BandFilter::storeRow(const Sample* centre, const Tile& tile, int channel, Sample* out) {
    const std::size_t channels = static_cast<std::size_t>(page_.channels);
    const auto max = static_cast<float>(page_.maxValue());
    Sample* target = out + std::size_t{tile.x} * channels + static_cast<std::size_t>(channel);
    if (page_.extra == ExtraSample::associatedAlpha) {
        const Sample* alpha = centre + std::size_t{tile.x} * channels +
                              static_cast<std::size_t>(page_.colourChannels);
        for (std::uint32_t i = 0; i < tile.columns; ++i) {
            mean_[i] = mean_[i] * static_cast<float>(alpha[i * channels]) / max;
        }
    }
    // Rounds half up: after the clamp, truncation is the floor.
    for (std::uint32_t i = 0; i < tile.columns; ++i) {
        target[i * channels] = static_cast<Sample>(std::clamp(mean_[i] + 0.5F, 0.0F, max));
    }
}

template <typename Sample>
void BandFilter::runTyped(const RowWindow& in, const Tile& tile, RowWindow& out) {
    const std::ptrdiff_t origin = reach_ * stride_ + reach_;
    const int colours = page_.colourChannels;
    const std::uint64_t max = page_.maxValue();
    if (page_.hasAlpha()) {
        const float scale = 1.0F / static_cast<float>(max);
        loadPlane<Sample>(in, tile, alpha_, [&](const Sample* pixel) {
            return static_cast<float>(pixel[colours]) * scale;
        });
    }
    const BandPlanes planes{values_.data() + origin,
                            page_.hasAlpha() ? alpha_.data() + origin : nullptr, stride_};
    const bool associated = page_.extra == ExtraSample::associatedAlpha;
    for (int channel = 0; channel < colours; ++channel) {
        if (associated) {
            loadPlane<Sample>(in, tile, values_, [&](const Sample* pixel) {
                // Compare and average plain colours: divide the alpha out, to the nearest level.
                const std::uint64_t value = pixel[channel];
                const std::uint64_t alpha = pixel[colours];
                return static_cast<float>(
                    alpha == 0 ? 0 : std::min(max, (value * max + alpha / 2) / alpha));
            });
        } else {
            // Kept apart from the division above, this loop vectorises.
            loadPlane<Sample>(in, tile, values_, [&](const Sample* pixel) {
                return static_cast<float>(pixel[channel]);
            });
        }
        for (std::uint32_t r = 0; r < tile.rows; ++r) {
            smoothRow(disc_, threshold_, planes, static_cast<int>(r),
                      static_cast<int>(tile.columns), mean_.data());
            storeRow(in.rowOf<Sample>(tile.first + r), tile, channel,
                     out.rowOf<Sample>(tile.first + r));
        }
    }
    // Alpha, or an extra sample of unknown meaning, passes through unchanged.
    for (int channel = colours; channel < page_.channels; ++channel) {
        for (std::uint32_t y = tile.first; y < tile.first + tile.rows; ++y) {
            const Sample* source = in.rowOf<Sample>(y);
            Sample* target = out.rowOf<Sample>(y);
            for (std::uint32_t x = tile.x; x < tile.x + tile.columns; ++x) {
                target[std::size_t{x} * page_.channels + channel] =
                    source[std::size_t{x} * page_.channels + channel];
            }
        }
    }
}

} // namespace fendral
