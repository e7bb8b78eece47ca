#pragma once

#include "page_filter.h"
#include "page_format.h"
#include "tiff_file.h"

#include <span>
#include <string>
#include <vector>

namespace fendral {

// Reads the layout of every page of the input (open gives handles on it, at its header) and of
// their reduced-resolution sub-images, in writing order, so that a page that is not supported, or
// that would take too much memory to filter with `disc`, is reported before any work is done;
// throws Failure naming the page. A sub-image that cannot be carried is named in notKept.
std::vector<PageFormat> scanPages(const OpenInput& open, const Disc& disc,
                                  std::vector<std::string>& notKept);

// Filters every page and sub-image of the input (as scanned) into `out`, with the descriptive
// tags and the EXIF and GPS directories of each page. What cannot be carried is named in notKept.
void filterPages(const OpenInput& openInput, TiffFile& out, std::span<const PageFormat> pages,
                 const Disc& disc, const FilterSettings& settings, const RowsDone& rowsDone,
                 std::vector<std::string>& notKept);

} // namespace fendral
