#pragma once

#include "failure.h"

#include <cstdarg>
#include <functional>
#include <string>
#include <tiffio.h>

namespace fendral {

// An open TIFF with its own libtiff handlers: errors are kept for our messages and warnings are
// dropped, so libtiff never writes to the console (and never into the progress bar).
class TiffFile {
public:
    // Calls open with options that carry the handlers; throws Failure if it returns null.
    TiffFile(std::string name, const std::function<TIFF*(TIFFOpenOptions*)>& open);
    ~TiffFile();
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    TIFF* get() const { return tif_; }
    // The page (from 1) that messages name; 0 names none.
    void setPage(std::size_t page) { page_ = page; }

    // Closes the file, writing what libtiff still holds; throws Failure if that fails.
    void close();

    // A Failure naming the file and page, saying what went wrong, with libtiff's first error
    // since the last one.
    [[nodiscard]] Failure failure(const std::string& what);

private:
    static int onError(TIFF*, void* self, const char* module, const char* format, va_list args);
    static int onWarning(TIFF*, void*, const char*, const char*, va_list);

    std::string name_;
    std::size_t page_ = 0;
    std::string firstError_;
    TIFF* tif_ = nullptr;
};

} // namespace fendral
