#pragma once

#include "page_format.h"

#include <tiffio.h>

namespace fendral {

// Checks that the current directory, as the file holds it, lists an offset and a byte count for
// every strip or tile of the page: libtiff pads shorter lists with zeros, which would read as
// blocks left out on purpose (sparse), turning missing data into black rows. Throws Failure naming
// the first block not listed.
void checkBlocksListed(TIFF* tif, const PageFormat& page);

// The most bytes any one block of the current page takes in the file (at most the file's size):
// what a handle reading it holds before it decodes it.
std::uint64_t largestStoredBlock(TIFF* tif);

} // namespace fendral
