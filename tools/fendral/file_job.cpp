#include "file_job.h"

#include "safe_output.h"
#include "tiff_pipeline.h"

namespace fendral {

JobSummary filterFile(const std::string& input, const std::string& output,
                      const FilterSettings& settings, const JobProgress& progress) {
    SafeOutput target(input, output);
    TiffFile in(input,
                [&](TIFFOpenOptions* options) { return TIFFOpenExt(input.c_str(), "r", options); });
    const std::vector<PageFormat> pages = scanPages(in);
    std::uint64_t totalRows = 0;
    for (const PageFormat& page : pages) {
        totalRows += page.height;
    }
    progress.started(totalRows);
    // Same byte order and flavour (classic or BigTIFF) as the input.
    std::string mode = TIFFIsBigEndian(in.get()) != 0 ? "wb" : "wl";
    if (TIFFIsBigTIFF(in.get()) != 0) {
        mode += '8';
    }
    TiffFile out(output, [&](TIFFOpenOptions* options) {
        return TIFFOpenExt(target.temporaryPath().c_str(), mode.c_str(), options);
    });
    filterPages(in, out, pages, settings, progress.rowsDone);
    out.close();
    target.commit();
    return {pages.front().width, pages.front().height, pages.size()};
}

} // namespace fendral
