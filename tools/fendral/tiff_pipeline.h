#pragma once

#include "page_filter.h"
#include "page_format.h"
#include "tiff_file.h"

#include <span>
#include <vector>

namespace fendral {

// Reads the layout of every page, so that an unsupported one is reported before any work is
// done; throws Failure naming the page.
std::vector<PageFormat> scanPages(TiffFile& in);

// Filters every page of `in` (as scanned) into a new page of `out`.
void filterPages(TiffFile& in, TiffFile& out, std::span<const PageFormat> pages,
                 const FilterSettings& settings, const RowsDone& rowsDone);

} // namespace fendral
