#include "command_line.h"

#include "decimal_text.h"
#include "failure.h"

namespace fendral {

namespace {

double parseNumber(const char* name, std::string_view text) {
    const auto value = parseDecimal(text);
    if (!value) {
        throw UsageError(std::string(name) +
                         " must be a non-negative decimal number such as 1.5, not \"" +
                         std::string(text) + "\"");
    }
    return *value;
}

} // namespace

Options parseCommandLine(std::span<const char* const> args) {
    if (args.size() != 4) {
        throw UsageError("expected 4 arguments, got " + std::to_string(args.size()));
    }
    Options options{parseNumber("RADIUS", args[0]), parseNumber("MAXDIFF", args[1]), args[2],
                    args[3]};
    if (options.radius > maxRadius) {
        throw UsageError("RADIUS must be at most " + std::to_string(static_cast<int>(maxRadius)));
    }
    if (options.input.empty() || options.output.empty()) {
        throw UsageError("INPUT and OUTPUT must name files");
    }
    return options;
}

std::string_view usageText() {
    return "usage: Fendral RADIUS MAXDIFF INPUT OUTPUT\n"
           "  Smooths a TIFF image while keeping its edges: each sample becomes the Gaussian-\n"
           "  weighted mean of the samples within RADIUS pixels that differ from it by at most\n"
           "  MAXDIFF (on the 0-255 scale). RADIUS and MAXDIFF are decimals such as 2 or 1.5.\n";
}

} // namespace fendral
