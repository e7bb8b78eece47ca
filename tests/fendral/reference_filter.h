#pragma once

#include "test_tiff.h"

namespace fendral::test {

// For an image whose last channel is no extra sample.
constexpr int noExtraSample = -1;

// The filter written for clarity, not speed, in double precision. extraSample is the TIFF
// ExtraSamples code of the last channel (EXTRASAMPLE_ASSOCALPHA...) or noExtraSample.
TestImage referenceFilter(const TestImage& in, double radius, double maxDiff,
                          int extraSample = noExtraSample);

} // namespace fendral::test
