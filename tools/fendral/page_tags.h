#pragma once

#include "page_format.h"

#include <tiffio.h>

namespace fendral {

// The layout an output page is written with: the input's, tiles included, except that strips
// are cut small so the writer holds little at a time.
PageFormat outputFormat(const PageFormat& input);

// Sets up the current output page: the layout in `output`, the input page's compression
// (predictor included) and its descriptive tags. Throws Failure if libtiff refuses the layout.
void writePageTags(TIFF* in, TIFF* out, const PageFormat& output);

} // namespace fendral
