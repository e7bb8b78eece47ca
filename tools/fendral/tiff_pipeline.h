#pragma once

#include "page_filter.h"
#include "page_format.h"
#include "tiff_file.h"

#include <span>
#include <string>
#include <vector>

namespace fendral {

// Reads the layout of every page and of its reduced-resolution sub-images, in writing order, so
// that an unsupported page is reported before any work is done; throws Failure naming the page.
// A sub-image that cannot be carried is named in notKept.
std::vector<PageFormat> scanPages(TiffFile& in, std::vector<std::string>& notKept);

// Filters every page and sub-image of `in` (as scanned) into `out`, with the descriptive tags
// and the EXIF and GPS directories of each page. What cannot be carried is named in notKept.
void filterPages(const OpenInput& openInput, TiffFile& in, TiffFile& out,
                 std::span<const PageFormat> pages, const FilterSettings& settings,
                 const RowsDone& rowsDone, std::vector<std::string>& notKept);

} // namespace fendral
