#include "command_line.h"
#include "failure.h"
#include "file_job.h"
#include "processors.h"
#include "progress_bar.h"
#include "safe_output.h"
#include "selective_kernel.h"

#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <new>
#include <span>
#include <tiffio.h>
#include <unistd.h>

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

void printSummary(const fendral::JobSummary& summary, std::chrono::duration<double> elapsed,
                  unsigned workers) {
    std::cerr << "Fendral: " << summary.width << " x " << summary.height << ", " << summary.pages
              << (summary.pages == 1 ? " page, " : " pages, ") << std::fixed << std::setprecision(2)
              << elapsed.count() << " s on " << workers
              << (workers == 1 ? " worker\n" : " workers\n");
}

} // namespace

int main(int argc, char** argv) {
    fendral::Options options;
    unsigned workers = 1;
    try {
        options = fendral::parseCommandLine(
            std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
        if (options.request == fendral::Options::Request::filter) {
            workers = fendral::workersToStart();
        }
    } catch (const fendral::UsageError& error) {
        std::cerr << "Fendral: " << error.what() << '\n' << fendral::usageText();
        return exitUsage;
    }
    if (options.request == fendral::Options::Request::help) {
        std::cout << fendral::usageText();
        return EXIT_SUCCESS;
    }
    if (options.request == fendral::Options::Request::version) {
        std::cout << "Fendral " FENDRAL_VERSION " (filter kernel: " << fendral::chosenKernel().name
                  << ")\n";
        return EXIT_SUCCESS;
    }
    fendral::SafeOutput::handleSignals();
    // Every file has its own handlers; these catch what libtiff reports about no file at all.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    // On a terminal the user watches a bar and gets a summary; otherwise only errors are written.
    const bool onTerminal = ::isatty(STDERR_FILENO) != 0;
    fendral::ProgressBar bar(std::cerr, onTerminal);
    const fendral::FilterSettings settings{options.radius, options.maxDiff, workers};
    const fendral::JobProgress progress{[&](std::uint64_t rows) { bar.start(rows); },
                                        [&](std::uint32_t rows) {
                                            bar.advance(rows);
                                        }};
    try {
        const auto started = std::chrono::steady_clock::now();
        const fendral::JobSummary summary =
            fendral::filterFile(options.input, options.output, settings, progress);
        bar.clear();
        if (!summary.notKept.empty()) {
            std::cerr << "Fendral: warning: " << options.input << ": not kept:";
            for (std::size_t i = 0; i < summary.notKept.size(); ++i) {
                std::cerr << (i == 0 ? " " : ", ") << summary.notKept[i];
            }
            std::cerr << '\n';
        }
        if (onTerminal) {
            printSummary(summary, std::chrono::steady_clock::now() - started, workers);
            // Smoothed colours are not in the palette; the user should not be surprised.
            for (const std::string& change : summary.changed) {
                std::cerr << "Fendral: " << change << '\n';
            }
        }
        return EXIT_SUCCESS;
    } catch (const std::bad_alloc&) {
        bar.clear();
        std::cerr << "Fendral: " << options.input << ": not enough memory\n";
    } catch (const std::exception& error) {
        bar.clear();
        std::cerr << "Fendral: " << error.what() << '\n';
    }
    return exitFailure;
}
