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

struct ProgramRun {
    int exitCode;               // minus the signal that ended it
    std::string errors, output; // on stderr and on stdout
    long peakKilobytes;         // of every run so far
};

// Runs the Fendral built alongside through the shell after `setup`, its stdout and stderr going
// to files (no terminal). A limit on processor time ends one that would spin forever.
ProgramRun runFendral(const std::vector<std::string>& args, const std::string& setup) {
    const fendralwin::test::TempFolder logs;
    std::string command = "ulimit -t 100; " + setup + " exec " FENDRAL_PROGRAM;
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
    writeTiff("in.tif", {noisyImage(20, 12, 3)}, {PHOTOMETRIC_RGB});
    const std::string usage(usageText()), version = "Fendral " FENDRAL_VERSION " (filter kernel: ";
    const std::string here = folder.path(), longName = std::string(251, 'n') + ".tif";
    const auto job = [](const std::string& input, const std::string& output) {
        return std::vector<std::string>{"2", "10", input, output};
    };
    const auto input = [](int channels, int bits, TiffLayout layout) -> std::function<void()> {
        return [=] {
            writeTiff("in.tif", {noisyImage(8, 8, channels, bits)}, layout);
        };
    };
    // Strip 2 of page 2 is garbage: it fails while other strips are decoded on other threads,
    // after page 1 went to the temporary file; the old output must survive.
    const auto corruptStrip = [&] {
        writeTiff("in.tif", {noisyImage(20, 12, 1), noisyImage(20, 80, 1)},
                  {.compression = COMPRESSION_LZW});
        std::uint64_t* at = nullptr;
        const TiffPtr tif = openTiff("in.tif");
        TIFFSetDirectory(tif.get(), 1);
        TIFFGetField(tif.get(), TIFFTAG_STRIPOFFSETS, &at);
        std::fstream("in.tif", std::ios::in | std::ios::out | std::ios::binary)
                .seekp(std::streamoff(at[2]))
            << std::string(40, '\xff');
        folder.write("out.tif", "old output");
    };
    // The input is a FIFO: Fendral, its handlers in place and its temporary file made, waits for
    // it to open while a watcher sends the signal, then opens it too (for reading and writing,
    // which never waits) so that Fendral goes on. A signal the parent ignored (nohup, a
    // background job) must stay ignored; any other removes the temporary file and ends Fendral.
    const auto fifo = [] {
        fs::remove("in.fifo");
        mkfifo("in.fifo", 0644); // a fresh one, which no earlier watcher holds open
    };
    const auto watch = [](const std::string& signal) {
        return "(while kill -0 $$ && ! ls -A | grep -q fendral-; do sleep 0.01; done; kill -" +
               signal +
               " $$; exec 3<>in.fifo; while kill -0 $$; do sleep 0.01; done) 2>/dev/null &";
    };
    const std::string noHeader = "in.fifo: cannot open as TIFF (Cannot read TIFF header)",
                      page1 = "in.tif page 1: ";
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string errors = "";
        std::function<void()> make = [] {
        };
        std::string written = "", output = "", setup = "";
    } rows[] = {
        // clang-format off
        {job("in.tif", "out.tif"), 0, "", [] {}, "./out.tif"},
        {{"--", "2", "10", "in.tif", "-out.tif"}, 0, "", [] {}, "./-out.tif"},
        {job("in.tif", here + "/" + longName), 0, "", [] {}, "./" + longName},
        {job("in.tif", "out.tif"), 0, "", [&] { folder.write("sub/file.tif", "old"); fs::create_symlink("sub/file.tif", "out.tif"); }, "./out.tif"},
        {{"2", "--help"}, 0, "", [] {}, "", usage}, {{"-h"}, 0, "", [] {}, "", usage}, {{"--version"}, 0, "", [] {}, "", version},
        {{}, 2, "expected 4 arguments, got 0"}, {{"1", "10", "in.tif"}, 2, "expected 4 arguments, got 3"},
        {{"1", "10", "in.tif", "out.tif", "out.tif"}, 2, "expected 4 arguments, got 5"},
        {{".", "10", "in.tif", "out.tif"}, 2, "RADIUS must be a non-negative decimal number such as 1.5, not \".\""},
        {{"1", "x", "in.tif", "out.tif"}, 2, "MAXDIFF must be a non-negative decimal number such as 1.5, not \"x\""},
        {{"101", "10", "in.tif", "out.tif"}, 2, "RADIUS must be at most 100"},
        {{"1", "10", "", "out.tif"}, 2, "INPUT and OUTPUT must name files"},
        {{"1", "10", "-", "out.tif"}, 2, "\"-\" is no file: INPUT and OUTPUT must name files"},
        {{"1", "10", "in.tif", "-"}, 2, "\"-\" is no file: INPUT and OUTPUT must name files"},
        {{"-x", "1", "10", "in.tif", "out.tif"}, 2, "unknown option -x (a file whose name begins with - goes after --)"},
        {{"1", "10", "in.tif", "-out.tif"}, 2, "unknown option -out.tif (a file whose name begins with - goes after --)"},
        {job("none.tif", "out.tif"), 1, "cannot open none.tif: No such file or directory"},
        {job(here, "out.tif"), 1, here + " is a folder, not an image"},
        {job("in.tif", here), 1, "the output " + here + " is a folder; name a file"},
        {job("in.tif", here + "/no/such.tif"), 1, "cannot write " + here + "/no/such.tif: No such file or directory"},
        {job("in.tif", "out.tif"), 1, "the output out.tif is not a regular file", [] { mkfifo("out.tif", 0644); }},
        {job("in.tif", "out.tif"), 1, "not writing through a dangling link: out.tif", [] { fs::create_symlink("none.tif", "out.tif"); }},
        {job("in.tif", "out.tif"), 1, "cannot write out.tif: Too many levels of symbolic links", [] { fs::create_symlink("out.tif", "out.tif"); }},
        {job("in.tif", "out.tif"), 1, "the output out.tif is read-only", [&] { folder.write("out.tif", "old"); fs::permissions("out.tif", fs::perms::owner_read); }},
        {job("in.tif", "in.tif"), 1, "the output in.tif is the input file; choose another name"},
        {job("in.tif", "sub/../in.tif"), 1, "the output sub/../in.tif is the input file; choose another name"},
        {job("in.tif", "link.tif"), 1, "the output link.tif is the input file; choose another name", [] { fs::create_symlink("in.tif", "link.tif"); }},
        {job("in.tif", here + "/hard.tif"), 1, "the output " + here + "/hard.tif is the input file; choose another name", [] { fs::create_hard_link("in.tif", "hard.tif"); }},
        {job("in.tif", "out.tif"), 1, page1 + "palette images are not supported", input(1, 8, {PHOTOMETRIC_PALETTE, 0, false, false, 1, "w", [](TIFF* t) { const std::vector<std::uint16_t> map(256); TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data(), map.data()); }})},
        {job("in.tif", "out.tif"), 1, page1 + "bilevel (1-bit) images are not supported", input(1, 1, {})},
        {job("in.tif", "out.tif"), 1, page1 + "CMYK (separated) images are not supported", input(4, 8, {PHOTOMETRIC_SEPARATED})},
        {job("in.tif", "out.tif"), 1, page1 + "YCbCr images other than JPEG-compressed ones are not supported", input(3, 8, {PHOTOMETRIC_YCBCR})},
        {job("in.tif", "out.tif"), 1, page1 + "floating-point samples are not supported", input(1, 32, {.tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP); }})},
        {job("in.tif", "out.tif"), 1, page1 + "32-bit samples are not supported", input(1, 32, {})},
        // libtiff reports that it cannot decode this, and would read on.
        {job("in.tif", "out.tif"), 1, page1 + "cannot read the page (TWebPFixupTags: TIFF WEBP requires data to be stored contiguously in RGB e.g. RGBRGBRGB or RGBARGBARGBA)",
         input(4, 8, {PHOTOMETRIC_RGB, 0, true, false, COMPRESSION_WEBP})},
        {job("in.tif", "out.tif"), 1, "in.tif page 2: cannot read strip 2 (Using code not yet in table)", corruptStrip},
        // A disk that fills up: here a limit on the size of files.
        {job("in.tif", "out.tif"), 1, "out.tif page 1: cannot write strip 0: File too large",
         [] { writeTiff("in.tif", {noisyImage(200, 100, 3)}, {PHOTOMETRIC_RGB}); }, "", "", "trap '' XFSZ; ulimit -f 40;"},
        {job("in.fifo", "out.tif"), 1, noHeader, fifo, "", "", "trap '' HUP;" + watch("HUP")},
        {job("in.fifo", "out.tif"), 1, noHeader, fifo, "", "", "trap '' INT;" + watch("INT")},
        {job("in.fifo", "out.tif"), -SIGTERM, "", fifo, "", "", watch("TERM")},
        // Memory follows the rows that exist: one row a million pixels wide is no large job.
        {{"10", "10", "in.tif", "out.tif"}, 0, "", [] { writeTiff("in.tif", {noisyImage(1000000, 1, 3)}, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE}); }, "./out.tif"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        fs::remove("out.tif");
        row.make();
        const auto before = snapshot(row.exitCode != 0);
        const ProgramRun run = runFendral(row.args, row.setup);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_TRUE(run.output.starts_with(row.output) && run.output.empty() == row.output.empty())
            << run.output;
        EXPECT_EQ(run.errors, row.errors.empty() ? ""
                                                 : "Fendral: " + row.errors + "\n" +
                                                       (row.exitCode == 2 ? usage : ""));
        EXPECT_LT(run.peakKilobytes, 150 * 1024);
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
