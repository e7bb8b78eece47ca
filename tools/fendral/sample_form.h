#pragma once

#include "page_format.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fendral {

// How the samples of a block are held between the stages when the file holds them otherwise, so
// that the filter sees whole bytes of one kind: 2- and 4-bit samples a byte each, signed ones as
// their unsigned twins (the sign bit flipped, which keeps order and differences), 16-bit floating
// point as 32-bit, and a palette's indices as the colours they look up. Blocks are changed in
// place, whole rows at a time: a block row buffer has room for the wider form.
class SampleForm {
public:
    // For blocks `blockWidth` pixels wide of `page`.
    SampleForm(const PageFormat& page, std::uint32_t blockWidth);

    bool changes() const { return kind_ != Kind::same; }
    // The bytes the file holds for rows that take `ringBytes` between the stages.
    std::size_t storedBytes(std::size_t ringBytes) const;
    // Turns the rows the file holds, at the start of `block`, into the form of the stages.
    void toRing(std::byte* block, std::size_t ringBytes) const;
    // Turns rows in the form of the stages back into the file's, at the start of `block`.
    void toStored(std::byte* block, std::size_t ringBytes) const;

private:
    enum class Kind { same, packed, signedInt, halfFloat, palette };

    Kind kind_ = Kind::same;
    int bits_;
    std::size_t samples_;   // the file's samples a row
    std::size_t ringRow_;   // bytes of a row between the stages
    std::size_t storedRow_; // bytes of a row in the file
    int ringBytes_;
    std::vector<std::uint16_t> colourMap_;
};

// IEEE half precision to single and back, to the nearest (ties to even); NaN stays NaN.
float halfToFloat(std::uint16_t half);
std::uint16_t floatToHalf(float value);

} // namespace fendral
