#pragma once

#include <cstdint>
#include <tiffio.h>
#include <vector>

namespace fendral {

// Copies the tags that describe the current input page rather than lay out its samples
// (resolution, orientation, ICC profile, XMP, text tags, private tags...) to the output page.
// Tags that point into the input file (EXIF, GPS, SubIFDs...) cannot be copied this way: returns
// those it left.
std::vector<std::uint32_t> copyDescriptiveTags(TIFF* in, TIFF* out);

// Copies the tags of libtiff's list of custom tags (all those of an EXIF or GPS directory);
// returns those it left because they point into the input file.
std::vector<std::uint32_t> copyListedTags(TIFF* in, TIFF* out);

} // namespace fendral
