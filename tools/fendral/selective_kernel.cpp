#include "selective_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <type_traits>

namespace fendral {

namespace {

// Enough samples to keep the loops long, few enough that the sums stay in the L1 cache.
constexpr int blockWidth = 256;

// Levels (integer samples) select the weight first and multiply after: that form vectorises even
// on SSE2. Other samples select after multiplying: a NaN or infinite sample is near no sample,
// itself included, so it adds nothing to any sum (0 times it would be NaN) and keeps its value.
template <typename T, bool Weighted, bool Levels>
[[gnu::always_inline]] inline void smoothBlock(const Disc& disc, T threshold, const T* values,
                                               const T* alpha, std::ptrdiff_t stride, int count,
                                               T* mean) {
    T centre[blockWidth];
    T sum[blockWidth];
    T weightSum[blockWidth];
    for (int i = 0; i < count; ++i) {
        centre[i] = values[i];
        sum[i] = 0;
        weightSum[i] = 0;
    }
    for (const TapRow& row : disc.rows()) {
        const std::ptrdiff_t rowOffset = row.dy * stride - row.half;
        const int taps = static_cast<int>(row.weights.size());
        for (int k = 0; k < taps; ++k) {
            const T weight = row.weightsAs<T>()[std::size_t(k)];
            const T* tap = values + rowOffset + k;
            const T* tapAlpha = Weighted ? alpha + rowOffset + k : nullptr;
            for (int i = 0; i < count; ++i) {
                const T sample = tap[i];
                if constexpr (Levels) {
                    const T near = std::fabs(sample - centre[i]) <= threshold ? weight : T(0);
                    const T kept = Weighted ? near * tapAlpha[i] : near;
                    sum[i] += kept * sample;
                    weightSum[i] += kept;
                } else {
                    const bool near = std::fabs(sample - centre[i]) <= threshold;
                    const T kept = near ? (Weighted ? weight * tapAlpha[i] : weight) : T(0);
                    sum[i] += near ? kept * sample : T(0);
                    weightSum[i] += kept;
                }
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        mean[i] = weightSum[i] > 0 ? sum[i] / weightSum[i] : centre[i];
    }
}

// One channel at a time, `Step` samples apart (0: `step`), with nothing else written through the
// pointers: so the loops vectorise.
template <typename Sample, int Step, typename T>
[[gnu::always_inline]] inline void toPlaneTyped(const std::byte* from, std::size_t count,
                                                T* __restrict values, int step = Step) {
    const auto* __restrict samples = reinterpret_cast<const Sample*>(from);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = static_cast<T>(samples[i * std::size_t(Step == 0 ? step : Step)]);
    }
}

// Integers round half up: after the clamp, truncation is the floor. Floating point is copied.
template <typename Sample, int Step, typename T>
[[gnu::always_inline]] inline void fromPlaneTyped(const T* __restrict values, std::size_t count,
                                                  T max, std::byte* to, int step = Step) {
    auto* __restrict samples = reinterpret_cast<Sample*>(to);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * std::size_t(Step == 0 ? step : Step);
        if constexpr (std::is_floating_point_v<Sample>) {
            samples[at] = static_cast<Sample>(values[i]);
        } else {
            samples[at] = static_cast<Sample>(std::min(std::max(values[i] + T(0.5), T(0)), max));
        }
    }
}

template <typename Sample, int Step>
[[gnu::always_inline]] inline void toFloatsTyped(const std::byte* from, std::size_t count,
                                                 float* __restrict values) {
    toPlaneTyped<Sample, Step>(from, count, values);
}

template <typename Sample, int Step>
[[gnu::always_inline]] inline void toSamplesTyped(const float* __restrict values, std::size_t count,
                                                  float max, std::byte* to) {
    fromPlaneTyped<Sample, Step>(values, count, max, to);
}

// Calls convert with the sample type and step as constants; steps beyond 4 (five inks, or
// several extra samples) as a variable.
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
    case 12:                                                                                       \
        return convert<std::uint16_t, 4>(__VA_ARGS__);                                             \
    default:                                                                                       \
        return (bytes) == 1 ? convert##Any<std::uint8_t>(__VA_ARGS__, step)                        \
                            : convert##Any<std::uint16_t>(__VA_ARGS__, step);                      \
    }

template <typename Sample>
void toFloatsTypedAny(const std::byte* from, std::size_t count, float* values, int step) {
    toPlaneTyped<Sample, 0>(from, count, values, step);
}

template <typename Sample>
void toSamplesTypedAny(const float* values, std::size_t count, float max, std::byte* to, int step) {
    fromPlaneTyped<Sample, 0>(values, count, max, to, step);
}

// The wider kinds: Sample is float or double in planes of its own type, or a 32-bit unsigned
// integer in doubles.
template <typename Sample, typename T>
[[gnu::always_inline]] inline void toPlaneBy(const std::byte* from, int step, std::size_t count,
                                             T* values) {
    switch (step) {
    case 1:
        return toPlaneTyped<Sample, 1>(from, count, values);
    case 3:
        return toPlaneTyped<Sample, 3>(from, count, values);
    default:
        return toPlaneTyped<Sample, 0>(from, count, values, step);
    }
}

template <typename Sample, typename T>
[[gnu::always_inline]] inline void fromPlaneBy(const T* values, std::size_t count, T max, int step,
                                               std::byte* to) {
    switch (step) {
    case 1:
        return fromPlaneTyped<Sample, 1>(values, count, max, to);
    case 3:
        return fromPlaneTyped<Sample, 3>(values, count, max, to);
    default:
        return fromPlaneTyped<Sample, 0>(values, count, max, to, step);
    }
}

// One copy of the loops per instruction set, each a pair of entry points into which the template
// is inlined; the processor picks one at run time. Explicit targets rather than target_clones,
// which not every compiler resolves for x86-64 levels.
#define FENDRAL_KERNEL(name, target)                                                               \
    target void name##Plain(const Disc& disc, float threshold, const float* values, const float*,  \
                            std::ptrdiff_t stride, int count, float* mean) {                       \
        smoothBlock<float, false, true>(disc, threshold, values, nullptr, stride, count, mean);    \
    }                                                                                              \
    target void name##Weighted(const Disc& disc, float threshold, const float* values,             \
                               const float* alpha, std::ptrdiff_t stride, int count,               \
                               float* mean) {                                                      \
        smoothBlock<float, true, true>(disc, threshold, values, alpha, stride, count, mean);       \
    }                                                                                              \
    target void name##ToFloats(const std::byte* samples, int bytes, int step, std::size_t count,   \
                               float* values) {                                                    \
        FENDRAL_BY_LAYOUT(bytes, step, toFloatsTyped, samples, count, values);                     \
    }                                                                                              \
    target void name##ToSamples(const float* values, std::size_t count, float max, int bytes,      \
                                int step, std::byte* samples) {                                    \
        FENDRAL_BY_LAYOUT(bytes, step, toSamplesTyped, values, count, max, samples);               \
    }                                                                                              \
    template <typename T, bool Weighted>                                                           \
    target void name##Finite(const Disc& disc, T threshold, const T* values, const T* alpha,       \
                             std::ptrdiff_t stride, int count, T* mean) {                          \
        smoothBlock<T, Weighted, false>(disc, threshold, values, alpha, stride, count, mean);      \
    }                                                                                              \
    target void name##FromFloats(const std::byte* samples, int, int step, std::size_t count,       \
                                 float* values) {                                                  \
        toPlaneBy<float>(samples, step, count, values);                                            \
    }                                                                                              \
    target void name##ToFloatSamples(const float* values, std::size_t count, float max, int,       \
                                     int step, std::byte* samples) {                               \
        fromPlaneBy<float>(values, count, max, step, samples);                                     \
    }                                                                                              \
    target void name##ToWide(const std::byte* samples, int bytes, int step, std::size_t count,     \
                             double* values) {                                                     \
        return bytes == 8 ? toPlaneBy<double>(samples, step, count, values)                        \
                          : toPlaneBy<std::uint32_t>(samples, step, count, values);                \
    }                                                                                              \
    target void name##FromWide(const double* values, std::size_t count, double max, int bytes,     \
                               int step, std::byte* samples) {                                     \
        return bytes == 8 ? fromPlaneBy<double>(values, count, max, step, samples)                 \
                          : fromPlaneBy<std::uint32_t>(values, count, max, step, samples);         \
    }                                                                                              \
    constexpr KernelVariant name##Variant(const char* title, bool (*runsHere)()) {                 \
        return {title,                                                                             \
                runsHere,                                                                          \
                {&name##Plain, &name##Weighted, &name##ToFloats, &name##ToSamples},                \
                {&name##Finite<float, false>, &name##Finite<float, true>, &name##FromFloats,       \
                 &name##ToFloatSamples},                                                           \
                {&name##Finite<double, false>, &name##Finite<double, true>, &name##ToWide,         \
                 &name##FromWide}};                                                                \
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

constexpr KernelVariant variants[] = {avx512Variant("avx512", &hasAvx512),
                                      avx2Variant("avx2", &hasAvx2),
                                      baselineVariant("baseline", &always)};
#else
constexpr KernelVariant variants[] = {baselineVariant("baseline", &always)};
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

template <typename T>
void smoothRow(const Disc& disc, T threshold, const BandPlanes<T>& planes, int y, int width,
               T* mean, const PlaneKernel<T>& kernel) {
    const std::ptrdiff_t rowStart = y * planes.stride;
    for (int x = 0; x < width; x += blockWidth) {
        const int count = std::min(blockWidth, width - x);
        const T* values = planes.values + rowStart + x;
        if (planes.alpha != nullptr) {
            kernel.weighted(disc, threshold, values, planes.alpha + rowStart + x, planes.stride,
                            count, mean + x);
        } else {
            kernel.plain(disc, threshold, values, nullptr, planes.stride, count, mean + x);
        }
    }
}

template void smoothRow(const Disc&, float, const BandPlanes<float>&, int, int, float*,
                        const PlaneKernel<float>&);
template void smoothRow(const Disc&, double, const BandPlanes<double>&, int, int, double*,
                        const PlaneKernel<double>&);

} // namespace fendral
