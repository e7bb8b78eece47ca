#pragma once

#include "failure.h"

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tiffio.h>

namespace fendral {

struct FileStream;
class TiffFile;

// Opens another handle on the input file, so that a page's readers each have their own.
using OpenInput = std::function<std::unique_ptr<TiffFile>()>;

// An open TIFF with its own libtiff handlers: errors are kept for our messages and warnings are
// dropped (but libjpeg's, which mean damaged data), so libtiff never writes to the console (and
// never into the progress bar).
class TiffFile {
public:
    // Reads ("r", or "rh" to read no directory yet) or writes ("w", "wb8"...) the open file fd,
    // which stays open, at a position of its own: several handles can read one file at once. The
    // file is never memory-mapped, so resident memory shows what the job really holds. Throws
    // Failure if libtiff refuses it.
    TiffFile(std::string name, int fd, const char* mode);
    // Calls open with options that carry the handlers; throws Failure(what) if it returns null.
    TiffFile(std::string name, const std::function<TIFF*(TIFFOpenOptions*)>& open,
             const char* what);
    ~TiffFile();
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    TIFF* get() const { return tif_; }
    const std::string& name() const { return name_; }
    // Where in the file messages say the fault is ("page 2"); empty names no place.
    void setPlace(std::string place) { place_ = std::move(place); }

    // Closes the file, writing what libtiff still holds; throws Failure if that fails.
    void close();

    // libtiff reports some faults and still returns success: throws failure(what) if it has
    // reported any since the last failure or forget.
    void check(const std::string& what);
    bool reportedError() const { return !firstError_.empty(); }
    void forgetErrors() { firstError_.clear(); }
    // Reads the page (or sub-image) at `directory`, which messages then name `place`; errors
    // reported before are forgotten, any reported while reading it throw.
    void readPage(std::uint64_t directory, std::string place);

    // A Failure naming the file and page, saying what went wrong, with the system's reason for
    // a failed write or else libtiff's first error since the last one.
    [[nodiscard]] Failure failure(const std::string& what);

private:
    static int onError(TIFF*, void* self, const char* module, const char* format, va_list args);
    static int onWarning(TIFF*, void* self, const char* module, const char* format, va_list args);
    void keepError(const char* module, const std::string& text);
    void open(const std::function<TIFF*(TIFFOpenOptions*)>& open, const char* what);

    std::string name_;
    std::string place_;
    std::string firstError_;
    std::unique_ptr<FileStream> stream_;
    TIFF* tif_ = nullptr;
};

} // namespace fendral
