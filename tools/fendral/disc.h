#pragma once

#include <type_traits>
#include <vector>

namespace fendral {

// One row of the disc: offsets dx = -half..half at vertical offset dy.
struct TapRow {
    int dy = 0;
    int half = 0;
    std::vector<float> weights; // weights[dx + half]
    std::vector<double> exact;  // the same in double precision, for 32-bit samples

    template <typename T>
    const std::vector<T>& weightsAs() const {
        if constexpr (std::is_same_v<T, double>) {
            return exact;
        } else {
            return weights;
        }
    }
};

// The taps of a Gaussian (sigma = radius / 2) cut to the disc dx*dx + dy*dy <= radius*radius,
// computed once per job so the inner loops only read them.
class Disc {
public:
    explicit Disc(double radius);

    // The largest |dx| or |dy|: how far the filter reads beyond a sample.
    int reach() const { return reach_; }
    const std::vector<TapRow>& rows() const { return rows_; }
    // A disc of one tap leaves every sample as it is.
    bool isSingleTap() const { return reach_ == 0; }

private:
    int reach_ = 0;
    std::vector<TapRow> rows_;
};

} // namespace fendral
