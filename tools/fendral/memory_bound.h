#pragma once

#include "page_format.h"

#include <cstddef>

namespace fendral {

// The most memory the buffers of one page may take: with the program and libtiff's own, a job
// stays under 1 GB whatever its input. A page that would need more with a single worker is refused
// before any work; one that fits runs on as many workers as fit.
constexpr std::size_t pageMemoryLimit = std::size_t{768} << 20;

// What one libtiff handle on `page` holds beside the samples it hands over: a block as the file
// holds it (read whole before it is decoded) or, `encoding`, the block and what it compresses to;
// its codec's state; and the offset and byte count of every block of the page.
std::size_t handleMemory(const PageFormat& page, bool encoding);

} // namespace fendral
