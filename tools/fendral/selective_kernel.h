#pragma once

#include "disc.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace fendral {

// One channel of a band as floats: the sample at (x, y) is values[y * stride + x], its weight
// alpha[y * stride + x] (0..1), or 1 when alpha is null. Both planes are padded so that every
// offset of the disc around every sample of the band can be read.
struct BandPlanes {
    const float* values = nullptr;
    const float* alpha = nullptr;
    std::ptrdiff_t stride = 0;
};

// Smooths `count` samples of a band row from values (alpha, when weighted).
using SmoothBlock = void (*)(const Disc& disc, float threshold, const float* values,
                             const float* alpha, std::ptrdiff_t stride, int count, float* mean);

// Turns `count` samples of one channel, 8- or 16-bit (`bytes` 1 or 2), lying `step` samples apart
// (1 to 4), into floats, and back, rounded and clamped to 0..max.
using ToFloats = void (*)(const std::byte* samples, int bytes, int step, std::size_t count,
                          float* values);
using ToSamples = void (*)(const float* values, std::size_t count, float max, int bytes, int step,
                           std::byte* samples);

// The kernel built for one instruction set, with the conversions around it.
struct KernelVariant {
    const char* name;
    bool (*runsHere)(); // whether this processor has the instructions
    SmoothBlock plain;
    SmoothBlock weighted;
    ToFloats toFloats;
    ToSamples toSamples;
};

// Every variant built, fastest first; the last runs on any processor.
std::span<const KernelVariant> kernelVariants();
// The fastest variant this processor runs, chosen once.
const KernelVariant& chosenKernel();

// Smooths row y of a band: mean[x] becomes the weighted mean of the samples in the disc around
// (x, y) that differ from it by at most threshold. Where every weight is zero (all of them
// transparent) the sample keeps its value.
void smoothRow(const Disc& disc, float threshold, const BandPlanes& planes, int y, int width,
               float* mean, const KernelVariant& kernel = chosenKernel());

} // namespace fendral
