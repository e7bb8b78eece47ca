#include "tiff_pipeline.h"

#include "page_tags.h"

namespace fendral {

std::vector<PageFormat> scanPages(TiffFile& in) {
    std::vector<PageFormat> pages;
    for (;;) {
        in.setPage(pages.size() + 1);
        try {
            pages.push_back(describePage(in.get()));
        } catch (const Failure& failure) {
            throw in.failure(failure.what());
        }
        if (TIFFLastDirectory(in.get()) != 0) {
            break;
        }
        in.setPage(pages.size() + 1);
        if (TIFFReadDirectory(in.get()) == 0) {
            throw in.failure("cannot read the page");
        }
    }
    in.setPage(0);
    return pages;
}

void filterPages(TiffFile& in, TiffFile& out, std::span<const PageFormat> pages,
                 const FilterSettings& settings, const RowsDone& rowsDone) {
    const Disc disc(settings.radius);
    for (std::size_t index = 0; index < pages.size(); ++index) {
        in.setPage(index + 1);
        out.setPage(index + 1);
        if (TIFFSetDirectory(in.get(), static_cast<tdir_t>(index)) == 0) {
            throw in.failure("cannot read the page");
        }
        const PageFormat output = outputFormat(pages[index]);
        try {
            writePageTags(in.get(), out.get(), output);
        } catch (const Failure& failure) {
            throw out.failure(failure.what());
        }
        PageReader reader(in, pages[index]);
        PageWriter writer(out, output);
        filterPage(reader, writer, pages[index], disc, settings, rowsDone);
        if (TIFFWriteDirectory(out.get()) == 0) {
            throw out.failure("cannot write the page");
        }
    }
    in.setPage(0);
    out.setPage(0);
}

} // namespace fendral
