#pragma once

#include "disc.h"

#include <cstddef>

namespace fendral {

// One channel of a band as floats: the sample at (x, y) is values[y * stride + x], its weight
// alpha[y * stride + x] (0..1), or 1 when alpha is null. Both planes are padded so that every
// offset of the disc around every sample of the band can be read.
struct BandPlanes {
    const float* values = nullptr;
    const float* alpha = nullptr;
    std::ptrdiff_t stride = 0;
};

// Smooths row y of a band: mean[x] becomes the weighted mean of the samples in the disc around
// (x, y) that differ from it by at most threshold. Where every weight is zero (all of them
// transparent) the sample keeps its value.
void smoothRow(const Disc& disc, float threshold, const BandPlanes& planes, int y, int width,
               float* mean);

} // namespace fendral
