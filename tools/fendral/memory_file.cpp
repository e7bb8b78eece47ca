#include "memory_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fendral {

namespace {

MemoryFile& self(thandle_t handle) {
    return *static_cast<MemoryFile*>(handle);
}

// Far beyond any output the fuzz target lets through; refuses seeks that would need terabytes.
constexpr std::uint64_t maxSize = std::uint64_t{1} << 31;

} // namespace

TIFF* MemoryFile::open(const char* name, const char* mode, TIFFOpenOptions* options) {
    position_ = 0;
    return TIFFClientOpenExt(name, mode, this, &MemoryFile::read, &MemoryFile::write,
                             &MemoryFile::seek, &MemoryFile::close, &MemoryFile::size,
                             &MemoryFile::map, &MemoryFile::unmap, options);
}

tmsize_t MemoryFile::read(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile& file = self(handle);
    if (size <= 0 || file.position_ >= file.bytes_.size()) {
        return 0;
    }
    const auto count = std::min<std::uint64_t>(static_cast<std::uint64_t>(size),
                                               file.bytes_.size() - file.position_);
    std::memcpy(buffer, file.bytes_.data() + file.position_, count);
    file.position_ += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t MemoryFile::write(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile& file = self(handle);
    if (size <= 0 || file.position_ + static_cast<std::uint64_t>(size) > maxSize) {
        return size == 0 ? 0 : -1;
    }
    if (file.position_ > file.bytes_.size()) {
        file.bytes_.resize(file.position_);
    }
    // What lies past the end is appended, not first filled with zeros and then overwritten.
    const auto* from = static_cast<const std::uint8_t*>(buffer);
    const auto count = static_cast<std::size_t>(size);
    const std::size_t over = std::min<std::size_t>(file.bytes_.size() - file.position_, count);
    std::copy_n(from, over, file.bytes_.begin() + static_cast<std::ptrdiff_t>(file.position_));
    file.bytes_.insert(file.bytes_.end(), from + over, from + count);
    file.position_ += count;
    return size;
}

toff_t MemoryFile::seek(thandle_t handle, toff_t offset, int whence) {
    MemoryFile& file = self(handle);
    const std::uint64_t base = whence == SEEK_CUR   ? file.position_
                               : whence == SEEK_END ? file.bytes_.size()
                                                    : 0;
    // libtiff passes backward relative seeks as wrapped-around unsigned offsets.
    const std::uint64_t target = base + offset;
    if (target > maxSize) {
        return static_cast<toff_t>(-1);
    }
    file.position_ = target;
    return target;
}

int MemoryFile::close(thandle_t) {
    return 0;
}

toff_t MemoryFile::size(thandle_t handle) {
    return self(handle).bytes_.size();
}

int MemoryFile::map(thandle_t handle, void** base, toff_t* size) {
    MemoryFile& file = self(handle);
    *base = file.bytes_.data();
    *size = file.bytes_.size();
    return 1;
}

void MemoryFile::unmap(thandle_t, void*, toff_t) {}

} // namespace fendral
