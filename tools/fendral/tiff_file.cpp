#include "tiff_file.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fendral {

// libtiff's client side of one file descriptor, with a position of its own.
struct FileStream {
    int fd;
    std::uint64_t position = 0;
    int writeError = 0;               // errno of the first failed write
    std::uint64_t notWrittenBack = 0; // bytes written since the disc was last asked to take them

    // The disc is asked to take what was written as the file grows, without waiting for it, so
    // that the flush before the output takes its name (see SafeOutput) has little left to wait for.
    static constexpr std::uint64_t writeBackBytes = std::uint64_t{4} << 20;

    static FileStream& of(thandle_t handle) { return *static_cast<FileStream*>(handle); }

    static tmsize_t read(thandle_t handle, void* buffer, tmsize_t size) {
        FileStream& file = of(handle);
        tmsize_t done = 0;
        while (done < size) {
            const ssize_t got =
                ::pread(file.fd, static_cast<char*>(buffer) + done,
                        static_cast<std::size_t>(size - done), static_cast<off_t>(file.position));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += got;
            file.position += static_cast<std::uint64_t>(got);
        }
        return done;
    }

    static tmsize_t write(thandle_t handle, void* buffer, tmsize_t size) {
        FileStream& file = of(handle);
        tmsize_t done = 0;
        while (done < size) {
            const ssize_t put =
                ::pwrite(file.fd, static_cast<const char*>(buffer) + done,
                         static_cast<std::size_t>(size - done), static_cast<off_t>(file.position));
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put <= 0) {
                file.writeError = file.writeError != 0 ? file.writeError : put < 0 ? errno : ENOSPC;
                return -1;
            }
            done += put;
            file.position += static_cast<std::uint64_t>(put);
        }
        file.notWrittenBack += static_cast<std::uint64_t>(done);
        if (file.notWrittenBack >= writeBackBytes) {
            ::sync_file_range(file.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            file.notWrittenBack = 0;
        }
        return done;
    }

    static toff_t seek(thandle_t handle, toff_t offset, int whence) {
        FileStream& file = of(handle);
        // libtiff passes backward relative seeks as wrapped-around unsigned offsets.
        const std::uint64_t base = whence == SEEK_CUR   ? file.position
                                   : whence == SEEK_END ? size(handle)
                                                        : 0;
        file.position = base + offset;
        return file.position;
    }

    static toff_t size(thandle_t handle) {
        struct stat info {};
        return ::fstat(of(handle).fd, &info) == 0 ? static_cast<toff_t>(info.st_size) : 0;
    }

    static int close(thandle_t) { return 0; }
    static int map(thandle_t, void**, toff_t*) { return 0; }
    static void unmap(thandle_t, void*, toff_t) {}
};

namespace {

std::string formatted(const char* format, va_list args) {
    std::array<char, 512> text{};
    std::vsnprintf(text.data(), text.size(), format, args);
    return text.data();
}

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

TiffFile::TiffFile(std::string name, int fd, const char* mode)
    : name_(std::move(name))
    , stream_(std::make_unique<FileStream>(FileStream{fd})) {
    open(
        [&](TIFFOpenOptions* options) {
            return TIFFClientOpenExt(name_.c_str(), mode, stream_.get(), &FileStream::read,
                                     &FileStream::write, &FileStream::seek, &FileStream::close,
                                     &FileStream::size, &FileStream::map, &FileStream::unmap,
                                     options);
        },
        mode[0] == 'r' ? "cannot open as TIFF" : "cannot start writing");
}

TiffFile::TiffFile(std::string name, const std::function<TIFF*(TIFFOpenOptions*)>& open,
                   const char* what)
    : name_(std::move(name)) {
    this->open(open, what);
}

void TiffFile::open(const std::function<TIFF*(TIFFOpenOptions*)>& open, const char* what) {
    const std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &TiffFile::onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &TiffFile::onWarning, this);
    tif_ = open(options.get());
    if (tif_ == nullptr) {
        throw failure(what);
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
    check("cannot finish writing");
}

void TiffFile::readPage(std::uint64_t directory, std::string place) {
    setPlace(std::move(place));
    forgetErrors();
    // libtiff reports some faults of a directory (a layout its codec cannot decode) and reads on.
    if (TIFFSetSubDirectory(tif_, directory) == 0) {
        throw failure("cannot read the page");
    }
    check("cannot read the page");
}

void TiffFile::check(const std::string& what) {
    if (!firstError_.empty() || (stream_ && stream_->writeError != 0)) {
        throw failure(what);
    }
}

Failure TiffFile::failure(const std::string& what) {
    std::string message = name_;
    if (!place_.empty()) {
        message += " " + place_;
    }
    message += ": " + what;
    if (stream_ && stream_->writeError != 0) {
        // The system's reason says more than libtiff's report of it ("Write error at...").
        message += ": " + std::string(std::strerror(stream_->writeError));
    } else if (!firstError_.empty()) {
        message += " (" + firstError_ + ")";
    }
    firstError_.clear();
    return Failure(message);
}

void TiffFile::keepError(const char* module, const std::string& text) {
    if (firstError_.empty()) {
        const bool namesFile = module == nullptr || name_ == module;
        firstError_ = namesFile ? text : std::string(module) + ": " + text;
    }
}

int TiffFile::onError(TIFF*, void* self, const char* module, const char* format, va_list args) {
    static_cast<TiffFile*>(self)->keepError(module, formatted(format, args));
    return 1; // handled: libtiff's global handler stays silent
}

int TiffFile::onWarning(TIFF*, void* self, const char* module, const char* format, va_list args) {
    // libjpeg only warns when its data is damaged or ends early, and makes up what it cannot read:
    // that is missing data.
    if (module != nullptr && std::string_view(module) == "JPEGLib") {
        static_cast<TiffFile*>(self)->keepError(module, formatted(format, args));
    }
    return 1;
}

} // namespace fendral
