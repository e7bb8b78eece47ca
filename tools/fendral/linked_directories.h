#pragma once

#include "page_format.h"
#include "tiff_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fendral {

// A tag of a page that holds where another directory of the file starts.
struct DirectoryLink {
    std::uint32_t tag;
    std::uint64_t offset;
};

// A page's EXIF and GPS directories live apart from it, at offsets its tags hold. Copies those
// of the input page into new directories of out, written at once, ahead of the page, and leaves
// out ready for the page; returns the links the output page must get once its layout is set.
// What cannot be carried is named in notKept. Throws Failure if a directory cannot be written.
std::vector<DirectoryLink> copyLinkedDirectories(TiffFile& in, TiffFile& out,
                                                 const PageFormat& page,
                                                 std::vector<std::string>& notKept);

} // namespace fendral
