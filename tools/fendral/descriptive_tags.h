#pragma once

#include <tiffio.h>

namespace fendral {

// Copies the tags that describe the current input page rather than lay out its samples
// (resolution, orientation, ICC profile, XMP, text tags, private tags...) to the output page.
// Tags that point into the input file (EXIF, GPS, SubIFDs) cannot be copied this way and are left.
void copyDescriptiveTags(TIFF* in, TIFF* out);

} // namespace fendral
