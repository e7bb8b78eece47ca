#pragma once

#include <cstdint>
#include <iosfwd>

namespace fendral {

// A one-line progress bar redrawn in place on a terminal; draws nothing when hidden.
class ProgressBar {
public:
    ProgressBar(std::ostream& out, bool visible)
        : out_(out)
        , visible_(visible) {}

    void start(std::uint64_t total);
    void advance(std::uint64_t done);
    // Wipes the bar so the next line starts clean.
    void clear();

private:
    void draw();

    std::ostream& out_;
    bool visible_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    int shownPercent_ = -1;
};

} // namespace fendral
