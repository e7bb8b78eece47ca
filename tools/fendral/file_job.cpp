#include "file_job.h"

#include "descriptor.h"
#include "safe_output.h"
#include "tiff_pipeline.h"
#include "walked_path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace fendral {

namespace {

// The input, open once: what is decided about it (a folder? the output itself?) is decided from
// what was opened, and every handle reads that same file, whatever happens to its name.
class InputFile {
public:
    // Looked up once; a FIFO or a device is refused before it is opened. What is opened is then
    // the file found, through the descriptor of the lookup, not its name again.
    explicit InputFile(const std::string& name)
        : name_(name) {
        const WalkedPath found = walkPath(name, "open");
        if (!found.exists()) {
            throw Failure("cannot open " + name + ": " + std::strerror(ENOENT));
        }
        identity_ = found.info;
        if (!S_ISREG(identity_.st_mode)) {
            throw Failure(name + (S_ISDIR(identity_.st_mode) ? " is a folder, not an image"
                                                             : " is not a regular file"));
        }
        fd_.reset(::open(("/proc/self/fd/" + std::to_string(found.object.get())).c_str(),
                         O_RDONLY | O_CLOEXEC));
        if (!fd_.isOpen()) {
            throw Failure("cannot open " + name + ": " + std::strerror(errno));
        }
    }

    const struct stat& identity() const { return identity_; }
    // A handle at the file's header, which reads only the directories it is sent to.
    std::unique_ptr<TiffFile> open() const {
        return std::make_unique<TiffFile>(name_, fd_.get(), "rh");
    }

private:
    std::string name_;
    Descriptor fd_;
    struct stat identity_ {};
};

} // namespace

JobSummary filterFile(const std::string& input, const std::string& output,
                      const FilterSettings& settings, const JobProgress& progress) {
    const InputFile file(input);
    SafeOutput target(file.identity(), output);
    const OpenInput open = [&] {
        return file.open();
    };
    JobSummary summary;
    const Disc disc(settings.radius);
    const std::vector<PageFormat> pages = scanPages(open, disc, summary.notKept);
    std::uint64_t totalRows = 0;
    for (const PageFormat& page : pages) {
        totalRows += page.height;
    }
    progress.started(totalRows);
    // Same byte order and flavour (classic or BigTIFF) as the input.
    const std::unique_ptr<TiffFile> header = open();
    std::string mode = TIFFIsBigEndian(header->get()) != 0 ? "wb" : "wl";
    if (TIFFIsBigTIFF(header->get()) != 0) {
        mode += '8';
    }
    TiffFile out(output, target.fd(), mode.c_str());
    filterPages(open, out, pages, disc, settings, progress.rowsDone, summary.notKept);
    out.close();
    target.commit();
    for (const PageFormat& page : pages) {
        if (page.photometric == PHOTOMETRIC_PALETTE) {
            summary.changed.push_back(page.place + " palette written as " +
                                      std::to_string(8 * page.ringBytes) + "-bit RGB");
        }
    }
    summary.width = pages.front().width;
    summary.height = pages.front().height;
    summary.pages = pages.size() - static_cast<std::size_t>(std::count_if(
                                       pages.begin(), pages.end(),
                                       [](const PageFormat& page) { return page.isSubImage; }));
    return summary;
}

} // namespace fendral
