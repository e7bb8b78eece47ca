#pragma once

#include "disc.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace fendral {

// One channel of a band as floats (or doubles): the sample at (x, y) is values[y * stride + x], its
// weight alpha[y * stride + x] (0..1), or 1 when alpha is null. Both planes are padded so that
// every offset of the disc around every sample of the band can be read.
template <typename T>
struct BandPlanes {
    const T* values = nullptr;
    const T* alpha = nullptr;
    std::ptrdiff_t stride = 0;
};

// The loops over one kind of plane: smoothing `count` samples of a band row from values (alpha,
// when weighted); and turning `count` samples of one channel in the rings' form, `bytes` each
// (1 or 2 as unsigned integers; 4 as a float into floats, as an unsigned integer into doubles; 8
// as a double), lying `step` samples apart (1 to 4 for 1 and 2 bytes), into the plane, and back,
// integers rounded and clamped to 0..max.
template <typename T>
struct PlaneKernel {
    void (*plain)(const Disc& disc, T threshold, const T* values, const T* alpha,
                  std::ptrdiff_t stride, int count, T* mean);
    void (*weighted)(const Disc& disc, T threshold, const T* values, const T* alpha,
                     std::ptrdiff_t stride, int count, T* mean);
    void (*toPlane)(const std::byte* samples, int bytes, int step, std::size_t count, T* values);
    void (*fromPlane)(const T* values, std::size_t count, T max, int bytes, int step,
                      std::byte* samples);
};

// The kernels built for one instruction set. Floating-point samples and wide ones leave out of
// every sum a sample that is NaN or infinite (it is no sample's neighbour, and keeps its value).
struct KernelVariant {
    const char* name;
    bool (*runsHere)();        // whether this processor has the instructions
    PlaneKernel<float> levels; // 8- and 16-bit integers
    PlaneKernel<float> floats; // 16- and 32-bit floating point
    PlaneKernel<double> wide;  // 32-bit integers, 64-bit floating point
};

// Every variant built, fastest first; the last runs on any processor.
std::span<const KernelVariant> kernelVariants();
// The fastest variant this processor runs, chosen once.
const KernelVariant& chosenKernel();

// Smooths row y of a band: mean[x] becomes the weighted mean of the samples in the disc around
// (x, y) that differ from it by at most threshold. Where every weight is zero (all of them
// transparent) the sample keeps its value.
template <typename T>
void smoothRow(const Disc& disc, T threshold, const BandPlanes<T>& planes, int y, int width,
               T* mean, const PlaneKernel<T>& kernel);

} // namespace fendral
