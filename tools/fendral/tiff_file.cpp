#include "tiff_file.h"

#include <array>
#include <cstdio>
#include <memory>

namespace fendral {

namespace {

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TiffFile::TiffFile(std::string name, const std::function<TIFF*(TIFFOpenOptions*)>& open)
    : name_(std::move(name)) {
    const std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &TiffFile::onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &TiffFile::onWarning, this);
    tif_ = open(options.get());
    if (tif_ == nullptr) {
        throw failure("cannot open as TIFF");
    }
}

TiffFile::~TiffFile() {
    if (tif_ != nullptr) {
        TIFFClose(tif_);
    }
}

void TiffFile::close() {
    firstError_.clear();
    TIFFClose(tif_);
    tif_ = nullptr;
    if (!firstError_.empty()) {
        throw failure("cannot finish writing");
    }
}

Failure TiffFile::failure(const std::string& what) {
    std::string message = name_;
    if (page_ != 0) {
        message += " page " + std::to_string(page_);
    }
    message += ": " + what;
    if (!firstError_.empty()) {
        message += " (" + firstError_ + ")";
        firstError_.clear();
    }
    return Failure(message);
}

int TiffFile::onError(TIFF*, void* self, const char* module, const char* format, va_list args) {
    auto& file = *static_cast<TiffFile*>(self);
    if (file.firstError_.empty()) {
        std::array<char, 512> text{};
        std::vsnprintf(text.data(), text.size(), format, args);
        const bool namesFile = module == nullptr || file.name_ == module;
        file.firstError_ = namesFile ? text.data() : std::string(module) + ": " + text.data();
    }
    return 1; // handled: libtiff's global handler stays silent
}

int TiffFile::onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace fendral
