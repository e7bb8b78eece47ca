#include "linked_directories.h"

#include "descriptive_tags.h"

namespace fendral {

namespace {

struct LinkedKind {
    std::uint32_t tag;
    const char* name;
    int (*read)(TIFF*, toff_t);
    int (*create)(TIFF*);
};

constexpr LinkedKind linkedKinds[] = {
    {TIFFTAG_EXIFIFD, "EXIF", &TIFFReadEXIFDirectory, &TIFFCreateEXIFDirectory},
    {TIFFTAG_GPSIFD, "GPS", &TIFFReadGPSDirectory, &TIFFCreateGPSDirectory},
};

} // namespace

std::vector<DirectoryLink> copyLinkedDirectories(TiffFile& in, TiffFile& out,
                                                 const PageFormat& page,
                                                 std::vector<std::string>& notKept) {
    std::vector<std::pair<const LinkedKind*, std::uint64_t>> found;
    for (const LinkedKind& kind : linkedKinds) {
        std::uint64_t offset = 0;
        if (TIFFGetField(in.get(), kind.tag, &offset) != 0 && offset != 0) {
            found.emplace_back(&kind, offset);
        }
    }
    std::vector<DirectoryLink> links;
    for (const auto& [kind, offset] : found) {
        const std::string what = page.place + " " + kind->name + " directory";
        if (kind->read(in.get(), offset) == 0) {
            notKept.push_back(what + " (unreadable)");
            continue;
        }
        // Creating a directory does not free the one before; libtiff would leak its values.
        TIFFFreeDirectory(out.get());
        kind->create(out.get());
        for (const std::uint32_t tag : copyListedTags(in.get(), out.get())) {
            notKept.push_back(what + " tag " + std::to_string(tag));
        }
        std::uint64_t written = 0;
        if (TIFFWriteCustomDirectory(out.get(), &written) == 0) {
            throw out.failure(std::string("cannot write the ") + kind->name + " directory");
        }
        links.push_back({kind->tag, written});
    }
    if (!found.empty()) {
        // An unreadable directory is named above, not a failure of the page.
        in.readPage(page.directory, page.place);
    }
    if (!links.empty()) {
        TIFFFreeDirectory(out.get());
        TIFFCreateDirectory(out.get());
    }
    return links;
}

} // namespace fendral
