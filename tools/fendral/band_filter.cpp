#include "band_filter.h"

#include "selective_kernel.h"

#include <algorithm>
#include <cmath>

namespace fendral {

BandFilter::BandFilter(const PageFormat& page, const Disc& disc, double maxDiff,
                       std::uint32_t maxRows)
    : page_(page)
    , disc_(disc)
    // MAXDIFF is on the 8-bit scale: 257 times as much between 16-bit samples.
    , threshold_(static_cast<float>(maxDiff * page.maxValue() / 255.0))
    , reach_(disc.reach())
    , stride_(static_cast<std::ptrdiff_t>(page.width) + 2 * reach_) {
    const auto planeSize = static_cast<std::size_t>(stride_) * (maxRows + 2 * reach_);
    values_.resize(planeSize);
    alpha_.resize(page.hasAlpha() ? planeSize : 0);
    mean_.resize(page.width);
}

void BandFilter::run(const RowWindow& in, std::uint32_t first, std::uint32_t last, RowWindow& out) {
    if (page_.bitsPerSample == 8) {
        runTyped<std::uint8_t>(in, first, last, out);
    } else {
        runTyped<std::uint16_t>(in, first, last, out);
    }
}

std::uint32_t BandFilter::sourceRow(std::uint32_t first, std::uint32_t planeRow) const {
    const std::int64_t y = std::int64_t{first} + planeRow - reach_;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(y, 0, page_.height - 1));
}

void BandFilter::padRow(std::vector<float>& plane, std::uint32_t planeRow) const {
    float* row = plane.data() + static_cast<std::ptrdiff_t>(planeRow) * stride_;
    std::fill(row, row + reach_, row[reach_]);
    std::fill(row + reach_ + page_.width, row + stride_, row[reach_ + page_.width - 1]);
}

template <typename Sample>
void BandFilter::loadAlpha(const RowWindow& in, std::uint32_t first, std::uint32_t rows) {
    const int channels = page_.channels;
    const int alpha = page_.colourChannels;
    const float scale = 1.0F / static_cast<float>(page_.maxValue());
    for (std::uint32_t planeRow = 0; planeRow < rows + 2 * reach_; ++planeRow) {
        const Sample* source = in.rowOf<Sample>(sourceRow(first, planeRow));
        float* row = alpha_.data() + static_cast<std::ptrdiff_t>(planeRow) * stride_ + reach_;
        for (std::uint32_t x = 0; x < page_.width; ++x) {
            row[x] = static_cast<float>(source[x * channels + alpha]) * scale;
        }
        padRow(alpha_, planeRow);
    }
}

template <typename Sample>
void BandFilter::loadChannel(const RowWindow& in, std::uint32_t first, std::uint32_t rows,
                             int channel) {
    const int channels = page_.channels;
    const std::uint64_t max = page_.maxValue();
    const bool associated = page_.extra == ExtraSample::associatedAlpha;
    for (std::uint32_t planeRow = 0; planeRow < rows + 2 * reach_; ++planeRow) {
        const Sample* source = in.rowOf<Sample>(sourceRow(first, planeRow));
        float* row = values_.data() + static_cast<std::ptrdiff_t>(planeRow) * stride_ + reach_;
        for (std::uint32_t x = 0; x < page_.width; ++x) {
            const Sample* pixel = source + x * channels;
            std::uint64_t value = pixel[channel];
            if (associated) {
                // Compare and average plain colours: divide the alpha out, to the nearest level.
                const std::uint64_t alpha = pixel[page_.colourChannels];
                value = alpha == 0 ? 0 : std::min(max, (value * max + alpha / 2) / alpha);
            }
            row[x] = static_cast<float>(value);
        }
        padRow(values_, planeRow);
    }
}

template <typename Sample>
void BandFilter::storeRow(const Sample* centre, int channel, Sample* out) const {
    const int channels = page_.channels;
    const auto max = static_cast<float>(page_.maxValue());
    const bool associated = page_.extra == ExtraSample::associatedAlpha;
    for (std::uint32_t x = 0; x < page_.width; ++x) {
        float value = mean_[x];
        if (associated) {
            value = value * static_cast<float>(centre[x * channels + page_.colourChannels]) / max;
        }
        out[x * channels + channel] =
            static_cast<Sample>(std::clamp(std::floor(value + 0.5F), 0.0F, max));
    }
}

template <typename Sample>
void BandFilter::runTyped(const RowWindow& in, std::uint32_t first, std::uint32_t last,
                          RowWindow& out) {
    const std::uint32_t rows = last - first;
    const std::ptrdiff_t origin = reach_ * stride_ + reach_;
    if (page_.hasAlpha()) {
        loadAlpha<Sample>(in, first, rows);
    }
    const BandPlanes planes{values_.data() + origin,
                            page_.hasAlpha() ? alpha_.data() + origin : nullptr, stride_};
    const auto width = static_cast<int>(page_.width);
    for (int channel = 0; channel < page_.colourChannels; ++channel) {
        loadChannel<Sample>(in, first, rows, channel);
        for (std::uint32_t r = 0; r < rows; ++r) {
            smoothRow(disc_, threshold_, planes, static_cast<int>(r), width, mean_.data());
            storeRow(in.rowOf<Sample>(first + r), channel, out.rowOf<Sample>(first + r));
        }
    }
    // Alpha, or an extra sample of unknown meaning, passes through unchanged.
    for (int channel = page_.colourChannels; channel < page_.channels; ++channel) {
        for (std::uint32_t y = first; y < last; ++y) {
            const Sample* source = in.rowOf<Sample>(y);
            Sample* target = out.rowOf<Sample>(y);
            for (std::uint32_t x = 0; x < page_.width; ++x) {
                target[x * page_.channels + channel] = source[x * page_.channels + channel];
            }
        }
    }
}

} // namespace fendral
