#include "file_job.h"

#include "safe_output.h"
#include "tiff_pipeline.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fendral {

namespace {

// The input, open once: every handle on it reads the same file, whatever happens to its name.
class InputFile {
public:
    explicit InputFile(const std::string& name)
        : name_(name)
        , fd_(::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) {
            throw Failure("cannot open " + name + ": " + std::strerror(errno));
        }
    }
    ~InputFile() { ::close(fd_); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // A handle at the file's header, which reads only the directories it is sent to.
    std::unique_ptr<TiffFile> open() const { return std::make_unique<TiffFile>(name_, fd_, "rh"); }

private:
    std::string name_;
    int fd_;
};

} // namespace

JobSummary filterFile(const std::string& input, const std::string& output,
                      const FilterSettings& settings, const JobProgress& progress) {
    SafeOutput target(input, output);
    const InputFile file(input);
    const OpenInput open = [&] {
        return file.open();
    };
    JobSummary summary;
    const std::vector<PageFormat> pages = scanPages(open, summary.notKept);
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
    filterPages(open, out, pages, settings, progress.rowsDone, summary.notKept);
    out.close();
    target.commit();
    summary.width = pages.front().width;
    summary.height = pages.front().height;
    summary.pages = pages.size() - static_cast<std::size_t>(std::count_if(
                                       pages.begin(), pages.end(),
                                       [](const PageFormat& page) { return page.isSubImage; }));
    return summary;
}

} // namespace fendral
