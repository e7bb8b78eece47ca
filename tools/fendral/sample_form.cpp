#include "sample_form.h"

#include <bit>
#include <cstring>

namespace fendral {

namespace {

template <typename Value>
Value load(const std::byte* at) {
    Value value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename Value>
void store(std::byte* at, Value value) {
    std::memcpy(at, &value, sizeof value);
}

// Sample i of a row of `bits`-bit samples packed from the highest bit of each byte.
unsigned unpack(const std::byte* row, std::size_t i, int bits) {
    const std::size_t bit = i * std::size_t(bits);
    const auto byte = std::to_integer<unsigned>(row[bit / 8]);
    return (byte >> (8 - bits - int(bit % 8))) & ((1U << bits) - 1);
}

template <typename Sample>
void flipSigns(std::byte* samples, std::size_t bytes) {
    constexpr Sample sign = Sample(Sample{1} << (8 * sizeof(Sample) - 1));
    for (std::size_t at = 0; at < bytes; at += sizeof(Sample)) {
        store<Sample>(samples + at, load<Sample>(samples + at) ^ sign);
    }
}

} // namespace

SampleForm::SampleForm(const PageFormat& page, std::uint32_t blockWidth)
    : bits_(page.bitsPerSample)
    , ringBytes_(page.ringBytes)
    , colourMap_(page.colourMap) {
    const bool palette = page.photometric == PHOTOMETRIC_PALETTE;
    const std::size_t channels = page.planar ? 1 : std::size_t(page.channels);
    samples_ = std::size_t{blockWidth} * (palette ? 1 : channels);
    ringRow_ = std::size_t{blockWidth} * channels * std::size_t(ringBytes_);
    storedRow_ = (samples_ * std::size_t(bits_) + 7) / 8;
    if (palette) {
        kind_ = Kind::palette;
    } else if (bits_ < 8) {
        kind_ = Kind::packed;
    } else if (page.sampleFormat == SAMPLEFORMAT_INT) {
        kind_ = Kind::signedInt;
    } else if (page.floating() && bits_ == 16) {
        kind_ = Kind::halfFloat;
    }
}

std::size_t SampleForm::storedBytes(std::size_t ringBytes) const {
    return kind_ == Kind::same ? ringBytes : ringBytes / ringRow_ * storedRow_;
}

void SampleForm::toRing(std::byte* block, std::size_t ringBytes) const {
    if (kind_ == Kind::same || kind_ == Kind::signedInt) {
        return toStored(block, ringBytes);
    }
    // Backwards, row by row and sample by sample: each wider sample lands no earlier than the
    // file's, so none is overwritten before it is read.
    const std::size_t entries = std::size_t{1} << bits_;
    for (std::size_t row = ringBytes / ringRow_; row-- > 0;) {
        const std::byte* stored = block + row * storedRow_;
        std::byte* ring = block + row * ringRow_;
        for (std::size_t i = samples_; i-- > 0;) {
            switch (kind_) {
            case Kind::packed:
                ring[i] = std::byte(unpack(stored, i, bits_));
                break;
            case Kind::halfFloat:
                store(ring + 4 * i, halfToFloat(load<std::uint16_t>(stored + 2 * i)));
                break;
            case Kind::palette: {
                const unsigned index = unpack(stored, i, bits_);
                for (std::size_t c = 0; c < 3; ++c) {
                    const std::uint16_t colour = colourMap_[c * entries + index];
                    if (ringBytes_ == 1) {
                        ring[3 * i + c] = std::byte(colour / 257);
                    } else {
                        store(ring + 2 * (3 * i + c), colour);
                    }
                }
                break;
            }
            default:
                return;
            }
        }
    }
}

void SampleForm::toStored(std::byte* block, std::size_t ringBytes) const {
    if (kind_ == Kind::same) {
        return;
    }
    if (kind_ == Kind::signedInt) {
        switch (ringBytes_) {
        case 1:
            return flipSigns<std::uint8_t>(block, ringBytes);
        case 2:
            return flipSigns<std::uint16_t>(block, ringBytes);
        default:
            return flipSigns<std::uint32_t>(block, ringBytes);
        }
    }
    // Forwards: each narrower sample lands no later than the wider one it comes from.
    for (std::size_t row = 0; row < ringBytes / ringRow_; ++row) {
        const std::byte* ring = block + row * ringRow_;
        std::byte* stored = block + row * storedRow_;
        if (kind_ == Kind::halfFloat) {
            for (std::size_t i = 0; i < samples_; ++i) {
                store(stored + 2 * i, floatToHalf(load<float>(ring + 4 * i)));
            }
            continue;
        }
        const std::size_t perByte = 8 / std::size_t(bits_);
        for (std::size_t at = 0; at < storedRow_; ++at) {
            unsigned byte = 0;
            for (std::size_t i = at * perByte; i < std::min(samples_, (at + 1) * perByte); ++i) {
                byte |= std::to_integer<unsigned>(ring[i]) << (8 - bits_ * int(i % perByte + 1));
            }
            stored[at] = std::byte(byte);
        }
    }
}

float halfToFloat(std::uint16_t half) {
    const std::uint32_t sign = std::uint32_t{half & 0x8000U} << 16;
    const std::uint32_t exponent = (half >> 10) & 0x1FU;
    const std::uint32_t mantissa = half & 0x3FFU;
    if (exponent == 0) { // zero or subnormal: mantissa * 2^-24
        const float value = static_cast<float>(mantissa) * 0x1p-24F;
        return sign != 0 ? -value : value;
    }
    const std::uint32_t bits =
        sign | (exponent == 0x1F ? 0x7F800000U : (exponent + 112) << 23) | mantissa << 13;
    return std::bit_cast<float>(bits);
}

std::uint16_t floatToHalf(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const auto sign = static_cast<std::uint32_t>((bits >> 16) & 0x8000U);
    const auto exponent = static_cast<int>((bits >> 23) & 0xFFU);
    std::uint32_t mantissa = bits & 0x7FFFFFU;
    if (exponent == 0xFF) { // infinity, or NaN kept quiet and NaN
        return static_cast<std::uint16_t>(sign | 0x7C00U |
                                          (mantissa != 0 ? 0x200U | mantissa >> 13 : 0));
    }
    const int halfExponent = exponent - 112;
    if (halfExponent >= 31) {
        return static_cast<std::uint16_t>(sign | 0x7C00U);
    }
    // Rounds `kept` up where the bits dropped are more than half, or half and kept is odd.
    const auto rounded = [](std::uint32_t kept, std::uint32_t dropped, std::uint32_t half) {
        return kept + (dropped > half || (dropped == half && (kept & 1U) != 0) ? 1 : 0);
    };
    if (halfExponent <= 0) { // subnormal, or nought
        if (halfExponent < -10) {
            return static_cast<std::uint16_t>(sign);
        }
        mantissa |= 0x800000U;
        const int shift = 14 - halfExponent;
        return static_cast<std::uint16_t>(
            sign | rounded(mantissa >> shift, mantissa & ((1U << shift) - 1), 1U << (shift - 1)));
    }
    // A carry out of the mantissa moves the exponent up, to infinity at the top.
    return static_cast<std::uint16_t>(
        sign |
        rounded(std::uint32_t(halfExponent) << 10 | mantissa >> 13, mantissa & 0x1FFFU, 0x1000U));
}

} // namespace fendral
