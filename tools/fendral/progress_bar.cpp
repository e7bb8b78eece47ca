#include "progress_bar.h"

#include <ostream>
#include <string>

namespace fendral {

namespace {

constexpr int barWidth = 40;

} // namespace

void ProgressBar::start(std::uint64_t total) {
    total_ = total;
    done_ = 0;
    draw();
}

void ProgressBar::advance(std::uint64_t done) {
    done_ += done;
    draw();
}

void ProgressBar::draw() {
    const int percent = total_ == 0 ? 100 : static_cast<int>(done_ * 100 / total_);
    if (!visible_ || percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    const int filled = percent * barWidth / 100;
    out_ << "\rFendral [" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(barWidth - filled), '.') << "] " << percent << "%"
         << std::flush;
}

void ProgressBar::clear() {
    if (visible_ && shownPercent_ >= 0) {
        out_ << '\r' << std::string(barWidth + 16, ' ') << '\r' << std::flush;
        shownPercent_ = -1;
    }
}

} // namespace fendral
