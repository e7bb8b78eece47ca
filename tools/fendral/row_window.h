#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fendral {

// The last `capacity` rows of a page, channels interleaved: row y lives in slot y % capacity.
// The storage is 16-bit so rows of 16-bit samples can be read in place.
class RowWindow {
public:
    RowWindow(std::size_t rowBytes, std::uint32_t capacity)
        : rowUnits_((rowBytes + 1) / 2)
        , capacity_(capacity)
        , storage_(rowUnits_ * capacity) {}

    std::byte* row(std::uint32_t y) { return reinterpret_cast<std::byte*>(slot(y)); }
    const std::byte* row(std::uint32_t y) const {
        return reinterpret_cast<const std::byte*>(slot(y));
    }
    template <typename Sample>
    const Sample* rowOf(std::uint32_t y) const {
        return reinterpret_cast<const Sample*>(slot(y));
    }
    template <typename Sample>
    Sample* rowOf(std::uint32_t y) {
        return reinterpret_cast<Sample*>(slot(y));
    }

private:
    const std::uint16_t* slot(std::uint32_t y) const {
        return storage_.data() + rowUnits_ * (y % capacity_);
    }
    std::uint16_t* slot(std::uint32_t y) { return storage_.data() + rowUnits_ * (y % capacity_); }

    std::size_t rowUnits_;
    std::uint32_t capacity_;
    std::vector<std::uint16_t> storage_;
};

} // namespace fendral
