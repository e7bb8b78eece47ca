#include "tiff_pipeline.h"

#include "linked_directories.h"
#include "page_tags.h"

#include <optional>

namespace fendral {

namespace {

// Reads the page after the one `in` holds, or the first when it holds none; false after the last.
bool readNextPage(TiffFile& in, std::size_t index) {
    if (index > 0 && TIFFLastDirectory(in.get()) != 0) {
        return false;
    }
    in.setPlace("page " + std::to_string(index + 1));
    in.forgetErrors();
    if ((index == 0 ? TIFFSetDirectory(in.get(), 0) : TIFFReadDirectory(in.get())) == 0) {
        throw in.failure("cannot read the page");
    }
    // libtiff reports some faults of a directory (a layout its codec cannot decode) and reads on.
    in.check("cannot read the page");
    return true;
}

std::vector<std::uint64_t> subImageDirectories(TIFF* tif) {
    std::uint16_t count = 0;
    std::uint64_t* offsets = nullptr;
    if (TIFFGetField(tif, TIFFTAG_SUBIFD, &count, &offsets) == 0 || offsets == nullptr) {
        return {};
    }
    return {offsets, offsets + count};
}

// A sub-image is a preview: one that cannot be read or written again is named, not fatal.
std::optional<PageFormat> describeSubImage(TiffFile& in, std::uint64_t directory,
                                           const std::string& place, const Disc& disc,
                                           std::vector<std::string>& notKept) {
    if (TIFFSetSubDirectory(in.get(), directory) == 0 || in.reportedError()) {
        notKept.push_back(place + " (unreadable)");
        return std::nullopt;
    }
    try {
        PageFormat image = describePage(in.get());
        checkMemory(image, disc);
        image.place = place;
        image.isSubImage = true;
        if (!subImageDirectories(in.get()).empty()) {
            notKept.push_back(place + " sub-images");
        }
        return image;
    } catch (const Failure& failure) {
        notKept.push_back(place + " (" + failure.what() + ")");
        return std::nullopt;
    }
}

} // namespace

// Every directory is read by a handle that comes to it directly: the pages one after another,
// each sub-image and each page filtered through a handle of its own. (A libtiff handle that has
// read one directory searches the whole chain of pages to place any other it is sent to.)
std::vector<PageFormat> scanPages(const OpenInput& open, const Disc& disc,
                                  std::vector<std::string>& notKept) {
    std::vector<PageFormat> pages;
    const std::unique_ptr<TiffFile> in = open();
    for (std::size_t index = 0; readNextPage(*in, index); ++index) {
        const std::size_t page = pages.size();
        try {
            pages.push_back(describePage(in->get()));
            checkMemory(pages.back(), disc);
        } catch (const Failure& failure) {
            throw in->failure(failure.what());
        }
        pages[page].place = "page " + std::to_string(index + 1);
        const std::vector<std::uint64_t> subDirectories = subImageDirectories(in->get());
        for (std::size_t sub = 0; sub < subDirectories.size(); ++sub) {
            const std::string place = pages[page].place + " sub-image " + std::to_string(sub + 1);
            std::optional<PageFormat> image =
                describeSubImage(*open(), subDirectories[sub], place, disc, notKept);
            if (image) {
                pages.push_back(std::move(*image));
                ++pages[page].subImages;
            }
        }
    }
    return pages;
}

void filterPages(const OpenInput& openInput, TiffFile& out, std::span<const PageFormat> pages,
                 const Disc& disc, const FilterSettings& settings, const RowsDone& rowsDone,
                 std::vector<std::string>& notKept) {
    WorkerPool pool(settings.threads);
    for (const PageFormat& page : pages) {
        const std::unique_ptr<TiffFile> input = openInput();
        TiffFile& in = *input;
        in.readPage(page.directory, page.place);
        out.setPlace(page.place);
        // A sub-image is written in its page's place for sub-images: nothing may come between.
        const std::vector<DirectoryLink> links =
            page.isSubImage ? std::vector<DirectoryLink>{}
                            : copyLinkedDirectories(in, out, page, notKept);
        const PageFormat output = outputFormat(page);
        try {
            for (const std::uint32_t tag : writePageTags(in.get(), out.get(), output)) {
                if (tag != TIFFTAG_EXIFIFD && tag != TIFFTAG_GPSIFD) {
                    notKept.push_back(page.place + " tag " + std::to_string(tag));
                } else if (page.isSubImage) {
                    notKept.push_back(page.place + (tag == TIFFTAG_GPSIFD ? " GPS" : " EXIF") +
                                      " directory");
                }
            }
        } catch (const Failure& failure) {
            throw out.failure(failure.what());
        }
        for (const DirectoryLink& link : links) {
            TIFFSetField(out.get(), link.tag, link.offset);
        }
        if (page.subImages > 0) {
            const std::vector<std::uint64_t> placeholders(page.subImages);
            TIFFSetField(out.get(), TIFFTAG_SUBIFD, page.subImages, placeholders.data());
        }
        filterPage(pool, openInput, out, page, output, disc, settings.maxDiff, rowsDone);
        if (TIFFWriteDirectory(out.get()) == 0) {
            throw out.failure("cannot write the page");
        }
        out.check("cannot write the page");
    }
    out.setPlace("");
}

} // namespace fendral
