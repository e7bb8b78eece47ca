#pragma once

#include "page_filter.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fendral {

struct JobSummary {
    std::uint32_t width = 0; // of the first page
    std::uint32_t height = 0;
    std::size_t pages = 0;
    // What the output could not carry over ("page 1 EXIF directory tag 40965").
    std::vector<std::string> notKept;
    // Pages written as another kind ("page 1 palette written as 8-bit RGB").
    std::vector<std::string> changed;
};

struct JobProgress {
    std::function<void(std::uint64_t totalRows)> started = [](std::uint64_t) {
    };
    RowsDone rowsDone = [](std::uint32_t) {
    };
};

// Filters every page of the TIFF file `input` into `output`, safely (see SafeOutput).
// Throws Failure with a message for the user.
JobSummary filterFile(const std::string& input, const std::string& output,
                      const FilterSettings& settings, const JobProgress& progress = {});

} // namespace fendral
