#pragma once

#include "test_tiff.h"

namespace fendral::test {

enum class Extra { none, associatedAlpha, unassociatedAlpha, unspecified };

// The filter written for clarity, not speed, in double precision.
TestImage referenceFilter(const TestImage& in, double radius, double maxDiff, Extra extra);

} // namespace fendral::test
