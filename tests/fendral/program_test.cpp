#include "TempFolder.h"
#include "command_line.h"
#include "decimal_text.h"
#include "test_tiff.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fendral::test {
namespace {

namespace fs = std::filesystem;
using fendralwin::test::readFile;

// Runs the Fendral built alongside through the shell after `setup`, its stdout and stderr going
// to files (no terminal). A limit on processor time ends one that would spin forever. Gives the
// exit code (minus the signal that ended it), stderr, stdout, and the peak memory of every run.
std::tuple<int, std::string, std::string, long> runFendral(const std::vector<std::string>& args,
                                                           const std::string& setup) {
    const fendralwin::test::TempFolder logs;
    std::string command = "ulimit -t 60; " + setup + " exec " FENDRAL_PROGRAM;
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    const int status = std::system((command + " >" + logs / "1" + " 2>" + logs / "2").c_str());
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), readFile(logs / "2"),
            readFile(logs / "1"), usage.ru_maxrss};
}

// Kinds, permissions and link targets of everything in the working folder, contents if asked.
std::map<std::string, std::string> snapshot(bool contents) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
        const fs::file_status status = entry.symlink_status();
        std::string& seen = entries[entry.path().string()];
        seen = std::to_string(int(status.type())) + " " + std::to_string(int(status.permissions()));
        if (fs::is_symlink(status)) {
            seen += " -> " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_regular_file(status) && contents) {
            seen += " " + readFile(entry.path());
        }
    }
    return entries;
}

// Each run in turn, in a folder of its own: exit 0 with the output written quietly (stderr is no
// terminal), or help and version on stdout; 1 with one line naming the user's file and the
// system's or libtiff's reason; 2 with the reason and the usage. Nothing else in the folder
// changes, and no run takes much memory.
TEST(Program, EveryRun) {
    const fs::path home = fs::current_path();
    const fendralwin::test::TempFolder folder;
    fs::current_path(folder.path());
    // A plain input; then pages Fendral refuses, or that libtiff reports it cannot decode.
    const auto palette = [](TIFF* tif) {
        const std::vector<std::uint16_t> map(256);
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    };
    const std::tuple<std::string, TestImage, TiffLayout> inputs[] = {
        // clang-format off
        {"in.tif", noisyImage(20, 12, 3), {PHOTOMETRIC_RGB}}, {"large.tif", noisyImage(200, 100, 3), {PHOTOMETRIC_RGB}},
        {"wide.tif", noisyImage(1000000, 1, 3), {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE}},
        {"palette.tif", noisyImage(8, 8, 1), {PHOTOMETRIC_PALETTE, 0, false, false, 1, "w", palette}},
        {"bilevel.tif", noisyImage(8, 8, 1, 1), {}}, {"cmyk.tif", noisyImage(8, 8, 4), {PHOTOMETRIC_SEPARATED}},
        {"ycbcr.tif", noisyImage(8, 8, 3), {PHOTOMETRIC_YCBCR}}, {"int32.tif", noisyImage(8, 8, 1, 32), {}},
        {"float.tif", noisyImage(8, 8, 1, 32), {.tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP); }}},
        {"webp.tif", noisyImage(8, 8, 4), {PHOTOMETRIC_RGB, 0, true, false, COMPRESSION_WEBP}},
        {"corrupt.tif", noisyImage(20, 80, 1), {.compression = COMPRESSION_LZW}}};
    // clang-format on
    for (const auto& [name, image, layout] : inputs) {
        writeTiff(name, std::vector(name == "corrupt.tif" ? 2 : 1, image), layout);
    }
    // Strip 2 of page 2 is garbage: it fails while other strips are decoded on other threads,
    // after page 1 went to the temporary file.
    std::uint64_t* strips = nullptr;
    const TiffPtr corrupt = openTiff("corrupt.tif");
    TIFFSetDirectory(corrupt.get(), 1);
    TIFFGetField(corrupt.get(), TIFFTAG_STRIPOFFSETS, &strips);
    std::fstream("corrupt.tif", std::ios::in | std::ios::out | std::ios::binary)
            .seekp(std::streamoff(strips[2]))
        << std::string(40, '\xff');
    // The input is a FIFO: Fendral, its handlers in place and its temporary file made, waits for
    // it to open while a watcher sends the signal, then opens it too (for reading and writing,
    // which never waits) so that Fendral goes on. A signal the parent ignored (nohup, a
    // background job) must stay ignored; any other removes the temporary file and ends Fendral.
    const auto watch = [](const std::string& signal) {
        return "(while kill -0 $$ && ! ls -A | grep -q fendral-; do sleep 0.01; done; kill -" +
               signal +
               " $$; exec 3<>in.fifo; while kill -0 $$; do sleep 0.01; done) 2>/dev/null &";
    };
    const std::string usage(usageText()), version = "Fendral " FENDRAL_VERSION " (filter kernel: ";
    const std::string here = folder.path(), longName = std::string(251, 'n') + ".tif";
    const std::string fifo = "rm -f in.fifo; mkfifo in.fifo",
                      noHeader = "in.fifo: cannot open as TIFF (Cannot read TIFF header)";
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string errors = "", make = "", written = "", output = "", setup = "";
    } rows[] = {
        // clang-format off
        {{"2", "10", "in.tif", "out.tif"}, 0, "", "", "./out.tif"},
        {{"--", "2", "10", "in.tif", "-out.tif"}, 0, "", "", "./-out.tif"},
        {{"2", "10", "in.tif", here + "/" + longName}, 0, "", "", "./" + longName},
        {{"2", "10", "in.tif", "out.tif"}, 0, "", "mkdir -p sub; echo old > sub/file.tif; ln -s sub/file.tif out.tif", "./out.tif"},
        {{"2", "--help"}, 0, "", "", "", usage}, {{"-h"}, 0, "", "", "", usage}, {{"--version"}, 0, "", "", "", version},
        {{}, 2, "expected 4 arguments, got 0"}, {{"1", "10", "in.tif", "out.tif", "out.tif"}, 2, "expected 4 arguments, got 5"},
        {{".", "10", "in.tif", "out.tif"}, 2, "RADIUS must be a non-negative decimal number such as 1.5, not \".\""},
        {{"1", "x", "in.tif", "out.tif"}, 2, "MAXDIFF must be a non-negative decimal number such as 1.5, not \"x\""},
        {{"101", "10", "in.tif", "out.tif"}, 2, "RADIUS must be at most 100"},
        {{"1", "10", "", "out.tif"}, 2, "INPUT and OUTPUT must name files"},
        {{"1", "10", "in.tif", "-"}, 2, "\"-\" is no file: INPUT and OUTPUT must name files"},
        {{"-x", "1", "10", "in.tif", "out.tif"}, 2, "unknown option -x (a file whose name begins with - goes after --)"},
        {{"1", "10", "in.tif", "-out.tif"}, 2, "unknown option -out.tif (a file whose name begins with - goes after --)"},
        {{"2", "10", "none.tif", "out.tif"}, 1, "cannot open none.tif: No such file or directory"},
        {{"2", "10", here, "out.tif"}, 1, here + " is a folder, not an image"},
        {{"2", "10", "in.tif", here}, 1, "the output " + here + " is a folder; name a file"},
        {{"2", "10", "in.tif", here + "/no/such.tif"}, 1, "cannot write " + here + "/no/such.tif: No such file or directory"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "the output out.tif is not a regular file", "mkfifo out.tif"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "not writing through a dangling link: out.tif", "ln -s none.tif out.tif"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "cannot write out.tif: Too many levels of symbolic links", "ln -s out.tif out.tif"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "the output out.tif is read-only", "echo old > out.tif; chmod 444 out.tif"},
        {{"2", "10", "in.tif", "link.tif"}, 1, "the output link.tif is the input file; choose another name", "ln -s in.tif link.tif"},
        {{"2", "10", "in.tif", "sub/../hard.tif"}, 1, "the output sub/../hard.tif is the input file; choose another name", "ln in.tif hard.tif"},
        {{"2", "10", "palette.tif", "out.tif"}, 1, "palette.tif page 1: palette images are not supported"},
        {{"2", "10", "bilevel.tif", "out.tif"}, 1, "bilevel.tif page 1: bilevel (1-bit) images are not supported"},
        {{"2", "10", "cmyk.tif", "out.tif"}, 1, "cmyk.tif page 1: CMYK (separated) images are not supported"},
        {{"2", "10", "ycbcr.tif", "out.tif"}, 1, "ycbcr.tif page 1: YCbCr images other than JPEG-compressed ones are not supported"},
        {{"2", "10", "float.tif", "out.tif"}, 1, "float.tif page 1: floating-point samples are not supported"},
        {{"2", "10", "int32.tif", "out.tif"}, 1, "int32.tif page 1: 32-bit samples are not supported"},
        {{"2", "10", "webp.tif", "out.tif"}, 1, "webp.tif page 1: cannot read the page (TWebPFixupTags: TIFF WEBP requires data to be stored contiguously in RGB e.g. RGBRGBRGB or RGBARGBARGBA)"},
        {{"2", "10", "corrupt.tif", "out.tif"}, 1, "corrupt.tif page 2: cannot read strip 2 (Using code not yet in table)", "echo old > out.tif"},
        // A disk that fills up: here a limit on the size of files.
        {{"2", "10", "large.tif", "out.tif"}, 1, "out.tif page 1: cannot write strip 0: File too large", "", "", "", "trap '' XFSZ; ulimit -f 40;"},
        {{"2", "10", "in.fifo", "out.tif"}, 1, noHeader, fifo, "", "", "trap '' HUP;" + watch("HUP")},
        {{"2", "10", "in.fifo", "out.tif"}, 1, noHeader, fifo, "", "", "trap '' INT;" + watch("INT")},
        {{"2", "10", "in.fifo", "out.tif"}, -SIGTERM, "", fifo, "", "", watch("TERM")},
        // Memory follows the rows that exist: one row a million pixels wide is no large job.
        {{"10", "10", "wide.tif", "out.tif"}, 0, "", "", "./out.tif"}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        fs::remove("out.tif");
        std::system(row.make.c_str());
        const auto before = snapshot(row.exitCode != 0);
        const auto [exitCode, errors, output, peakKilobytes] = runFendral(row.args, row.setup);
        EXPECT_EQ(exitCode, row.exitCode);
        EXPECT_TRUE(output.starts_with(row.output) && output.empty() == row.output.empty())
            << output;
        EXPECT_EQ(errors, row.errors.empty()
                              ? ""
                              : "Fendral: " + row.errors + "\n" + (row.exitCode == 2 ? usage : ""));
        EXPECT_LT(peakKilobytes, 150 * 1024);
        auto after = snapshot(row.exitCode != 0);
        if (!row.written.empty()) {
            EXPECT_EQ(readTiff(row.written).size(), 1U);
            after.erase(before.contains(row.written) ? "" : row.written);
            fs::remove(row.written);
        }
        EXPECT_EQ(after, before);
    }
    fs::current_path(home);
}

// RADIUS and MAXDIFF as the window writes them, and nothing else.
TEST(ParseDecimal, TakesTheWindowsNumberTextsOnly) {
    const std::pair<const char*, std::optional<double>> rows[] = {
        // clang-format off
        {"1", 1}, {"1.5", 1.5}, {"5.", 5}, {".5", 0.5}, {"10", 10}, {"0", 0}, {"007.250", 7.25},
        {".", {}}, {"", {}}, {"-1", {}}, {"+1", {}}, {"1e5", {}}, {"abc", {}}, {"1.2.3", {}},
        {" 1", {}}, {"1 ", {}}, {"1,5", {}}, {"inf", {}}, {"nan", {}}, {"0x10", {}}};
    // clang-format on
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(parseDecimal(text), value) << '"' << text << '"';
    }
}

} // namespace
} // namespace fendral::test
