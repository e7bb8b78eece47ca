#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fendral {

struct Options {
    enum class Request { filter, help, version };
    Request request = Request::filter;
    double radius = 0;
    double maxDiff = 0;
    std::string input = {};
    std::string output = {};
};

// Beyond this the disc has tens of thousands of taps per sample and a job would run for hours.
inline constexpr double maxRadius = 100;

// Reads "RADIUS MAXDIFF INPUT OUTPUT", or --help (-h) or --version, from the arguments after the
// program name; "--" ends the options, so that a file may begin with "-". Throws UsageError.
Options parseCommandLine(std::span<const char* const> args);

std::string_view usageText();

} // namespace fendral
