#include "selective_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

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

// One channel at a time, `Step` samples apart, with nothing else written through the pointers: so
// the loops vectorise.
template <typename Sample, int Step>
[[gnu::always_inline]] inline void toFloatsTyped(const std::byte* from, std::size_t count,
                                                 float* __restrict values) {
    const auto* __restrict samples = reinterpret_cast<const Sample*>(from);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = static_cast<float>(samples[i * Step]);
    }
}

// Rounds half up: after the clamp, truncation is the floor.
template <typename Sample, int Step>
[[gnu::always_inline]] inline void toSamplesTyped(const float* __restrict values, std::size_t count,
                                                  float max, std::byte* to) {
    auto* __restrict samples = reinterpret_cast<Sample*>(to);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i * Step] = static_cast<Sample>(std::min(std::max(values[i] + 0.5F, 0.0F), max));
    }
}

// Calls convert with the sample type and step as constants.
#define FENDRAL_BY_LAYOUT(bytes, step, convert, ...)                                               \
    switch ((bytes)*4 + (step)) {                                                                  \
    case 5:                                                                                        \
        return convert<std::uint8_t, 1>(__VA_ARGS__);                                              \
    case 6:                                                                                        \
        return convert<std::uint8_t, 2>(__VA_ARGS__);                                              \
    case 7:                                                                                        \
        return convert<std::uint8_t, 3>(__VA_ARGS__);                                              \
    case 8:                                                                                        \
        return convert<std::uint8_t, 4>(__VA_ARGS__);                                              \
    case 9:                                                                                        \
        return convert<std::uint16_t, 1>(__VA_ARGS__);                                             \
    case 10:                                                                                       \
        return convert<std::uint16_t, 2>(__VA_ARGS__);                                             \
    case 11:                                                                                       \
        return convert<std::uint16_t, 3>(__VA_ARGS__);                                             \
    default:                                                                                       \
        return convert<std::uint16_t, 4>(__VA_ARGS__);                                             \
    }

// One copy of the loops per instruction set, each a pair of entry points into which the template
// is inlined; the processor picks one at run time. Explicit targets rather than target_clones,
// which not every compiler resolves for x86-64 levels.
#define FENDRAL_KERNEL(name, target)                                                               \
    target void name##Plain(const Disc& disc, float threshold, const float* values, const float*,  \
                            std::ptrdiff_t stride, int count, float* mean) {                       \
        smoothBlock<false>(disc, threshold, values, nullptr, stride, count, mean);                 \
    }                                                                                              \
    target void name##Weighted(const Disc& disc, float threshold, const float* values,             \
                               const float* alpha, std::ptrdiff_t stride, int count,               \
                               float* mean) {                                                      \
        smoothBlock<true>(disc, threshold, values, alpha, stride, count, mean);                    \
    }                                                                                              \
    target void name##ToFloats(const std::byte* samples, int bytes, int step, std::size_t count,   \
                               float* values) {                                                    \
        FENDRAL_BY_LAYOUT(bytes, step, toFloatsTyped, samples, count, values);                     \
    }                                                                                              \
    target void name##ToSamples(const float* values, std::size_t count, float max, int bytes,      \
                                int step, std::byte* samples) {                                    \
        FENDRAL_BY_LAYOUT(bytes, step, toSamplesTyped, values, count, max, samples);               \
    }

FENDRAL_KERNEL(baseline, )
bool always() {
    return true;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
FENDRAL_KERNEL(avx512, __attribute__((target("avx512f,avx512vl,avx512bw,avx512dq,avx2,fma"))))
FENDRAL_KERNEL(avx2, __attribute__((target("avx2,fma"))))

bool hasAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

bool hasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

constexpr KernelVariant variants[] = {
    {"avx512", &hasAvx512, &avx512Plain, &avx512Weighted, &avx512ToFloats, &avx512ToSamples},
    {"avx2", &hasAvx2, &avx2Plain, &avx2Weighted, &avx2ToFloats, &avx2ToSamples},
    {"baseline", &always, &baselinePlain, &baselineWeighted, &baselineToFloats, &baselineToSamples},
};
#else
constexpr KernelVariant variants[] = {{"baseline", &always, &baselinePlain, &baselineWeighted,
                                       &baselineToFloats, &baselineToSamples}};
#endif

} // namespace

std::span<const KernelVariant> kernelVariants() {
    return variants;
}

const KernelVariant& chosenKernel() {
    static const KernelVariant& chosen =
        *std::find_if(std::begin(variants), std::end(variants),
                      [](const KernelVariant& variant) { return variant.runsHere(); });
    return chosen;
}

void smoothRow(const Disc& disc, float threshold, const BandPlanes& planes, int y, int width,
               float* mean, const KernelVariant& kernel) {
    const std::ptrdiff_t rowStart = y * planes.stride;
    for (int x = 0; x < width; x += blockWidth) {
        const int count = std::min(blockWidth, width - x);
        const float* values = planes.values + rowStart + x;
        if (planes.alpha != nullptr) {
            kernel.weighted(disc, threshold, values, planes.alpha + rowStart + x, planes.stride,
                            count, mean + x);
        } else {
            kernel.plain(disc, threshold, values, nullptr, planes.stride, count, mean + x);
        }
    }
}

} // namespace fendral
