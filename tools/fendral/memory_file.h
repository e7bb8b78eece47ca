#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <tiffio.h>
#include <vector>

namespace fendral {

// A TIFF file held in memory, opened through libtiff's client interface: where a worker encodes
// its blocks, and what the fuzz target reads and writes.
class MemoryFile {
public:
    MemoryFile() = default;
    explicit MemoryFile(std::vector<std::uint8_t> bytes)
        : bytes_(std::move(bytes)) {}

    // For use as TiffFile's opener; the MemoryFile must outlive the TIFF.
    TIFF* open(const char* name, const char* mode, TIFFOpenOptions* options);
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // Keeps only the first `size` bytes, and goes there.
    void truncate(std::size_t size) {
        bytes_.resize(std::min(size, bytes_.size()));
        position_ = bytes_.size();
    }

private:
    static tmsize_t read(thandle_t self, void* buffer, tmsize_t size);
    static tmsize_t write(thandle_t self, void* buffer, tmsize_t size);
    static toff_t seek(thandle_t self, toff_t offset, int whence);
    static int close(thandle_t self);
    static toff_t size(thandle_t self);
    static int map(thandle_t self, void** base, toff_t* size);
    static void unmap(thandle_t self, void* base, toff_t size);

    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

} // namespace fendral
