#include "selective_kernel.h"

#include <algorithm>
#include <cmath>

// The inner loop is where the time goes: let x86-64 builds carry AVX2 and AVX-512 versions too,
// picked at run time, while the default version stays runnable on any x86-64.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define FENDRAL_VECTOR_CLONES                                                                      \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define FENDRAL_VECTOR_CLONES
#endif

namespace fendral {

namespace {

// Enough samples to keep the loops long, few enough that the sums stay in the L1 cache.
constexpr int blockWidth = 256;

template <bool Weighted>
[[gnu::always_inline]] inline void smoothBlock(const Disc& disc, float threshold,
                                               const float* values, const float* alpha,
                                               std::ptrdiff_t stride, int count, float* mean) {
    float centre[blockWidth];
    float sum[blockWidth];
    float weightSum[blockWidth];
    for (int i = 0; i < count; ++i) {
        centre[i] = values[i];
        sum[i] = 0;
        weightSum[i] = 0;
    }
    for (const TapRow& row : disc.rows()) {
        const std::ptrdiff_t rowOffset = row.dy * stride - row.half;
        const int taps = static_cast<int>(row.weights.size());
        for (int k = 0; k < taps; ++k) {
            const float weight = row.weights[k];
            const float* tap = values + rowOffset + k;
            const float* tapAlpha = Weighted ? alpha + rowOffset + k : nullptr;
            for (int i = 0; i < count; ++i) {
                const float sample = tap[i];
                // Select the weight first and multiply after: this form vectorises even on SSE2.
                const float near = std::fabs(sample - centre[i]) <= threshold ? weight : 0.0F;
                const float kept = Weighted ? near * tapAlpha[i] : near;
                sum[i] += kept * sample;
                weightSum[i] += kept;
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        mean[i] = weightSum[i] > 0 ? sum[i] / weightSum[i] : centre[i];
    }
}

// One copy of each per instruction set: the template is inlined into every clone.
FENDRAL_VECTOR_CLONES void smoothPlainBlock(const Disc& disc, float threshold, const float* values,
                                            std::ptrdiff_t stride, int count, float* mean) {
    smoothBlock<false>(disc, threshold, values, nullptr, stride, count, mean);
}

FENDRAL_VECTOR_CLONES void smoothWeightedBlock(const Disc& disc, float threshold,
                                               const float* values, const float* alpha,
                                               std::ptrdiff_t stride, int count, float* mean) {
    smoothBlock<true>(disc, threshold, values, alpha, stride, count, mean);
}

} // namespace

void smoothRow(const Disc& disc, float threshold, const BandPlanes& planes, int y, int width,
               float* mean) {
    const std::ptrdiff_t rowStart = y * planes.stride;
    for (int x = 0; x < width; x += blockWidth) {
        const int count = std::min(blockWidth, width - x);
        const float* values = planes.values + rowStart + x;
        if (planes.alpha != nullptr) {
            smoothWeightedBlock(disc, threshold, values, planes.alpha + rowStart + x, planes.stride,
                                count, mean + x);
        } else {
            smoothPlainBlock(disc, threshold, values, planes.stride, count, mean + x);
        }
    }
}

} // namespace fendral
