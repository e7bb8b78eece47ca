#pragma once

#include "page_format.h"

#include <cstdint>
#include <tiffio.h>
#include <vector>

namespace fendral {

// The layout an output page is written with: the input's, except that strips are cut small so
// the writer holds little at a time, and tiles have sides
// in the multiples of 16 that TIFF wants.
PageFormat outputFormat(const PageFormat& input);

// Sets the layout of `page`'s samples on the current directory of out: size, samples, planes,
// strips or tiles. False if libtiff refuses it.
bool setSampleLayout(TIFF* out, const PageFormat& page);

// Sets up the current output page: the layout in `output`, the input page's compression
// (predictor included) and its descriptive tags. Returns the tags it left because they point
// into the input file. Throws Failure if libtiff refuses the layout.
std::vector<std::uint32_t> writePageTags(TIFF* in, TIFF* out, const PageFormat& output);

} // namespace fendral
