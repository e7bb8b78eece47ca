#include "command_line.h"

#include "decimal_text.h"
#include "failure.h"

#include <vector>

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
    std::vector<std::string_view> operands;
    bool optionsEnded = false;
    for (const std::string_view arg : args) {
        if (arg == "-") {
            // Standard input or output cannot be rewritten in place: name a file.
            throw UsageError("\"-\" is no file: INPUT and OUTPUT must name files");
        }
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            return {.request = Options::Request::help};
        } else if (arg == "--version") {
            return {.request = Options::Request::version};
        } else {
            throw UsageError("unknown option " + std::string(arg) +
                             " (a file whose name begins with - goes after --)");
        }
    }
    if (operands.size() != 4) {
        throw UsageError("expected 4 arguments, got " + std::to_string(operands.size()));
    }
    Options options{Options::Request::filter, parseNumber("RADIUS", operands[0]),
                    parseNumber("MAXDIFF", operands[1]), std::string(operands[2]),
                    std::string(operands[3])};
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
           "       Fendral --help | --version\n"
           "  Smooths a TIFF image while keeping its edges: each sample becomes the Gaussian-\n"
           "  weighted mean of the samples within RADIUS pixels that differ from it by at most\n"
           "  MAXDIFF (on the 0-255 scale). RADIUS and MAXDIFF are decimals such as 2 or 1.5.\n"
           "  It runs one worker per processor it may use, or FENDRAL_THREADS=N of them.\n";
}

} // namespace fendral
