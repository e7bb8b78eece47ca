#include "TempFolder.h"
#include "decimal_text.h"
#include "test_tiff.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fendral::test {
namespace {

namespace fs = std::filesystem;
using fendralwin::test::readFile;

struct ProgramRun {
    int exitCode;
    std::string errors, output; // on stderr and on stdout
    long peakKilobytes;
};

// Runs the Fendral built alongside through the shell, after `setup` (limits, signals to
// ignore), its stdout and stderr going to files: no terminal.
ProgramRun runFendral(const std::vector<std::string>& args, const std::string& setup = "") {
    const fendralwin::test::TempFolder logs;
    std::string command = setup + " exec " FENDRAL_PROGRAM;
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    const int status = std::system((command + " >" + logs / "1" + " 2>" + logs / "2").c_str());
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return {WEXITSTATUS(status), readFile(logs / "2"), readFile(logs / "1"), usage.ru_maxrss};
}

// Runs in its folder, so that names there may be given as they are.
class Program : public testing::Test {
protected:
    Program() {
        fs::current_path(folder.path());
        writeTiff("in.tif", {noisyImage(20, 12, 3)}, {PHOTOMETRIC_RGB});
    }
    ~Program() override { fs::current_path(home); }

    // Kinds, permissions and link targets of everything in the folder, and contents if asked.
    std::map<std::string, std::string> snapshot(bool contents = true) const {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(".")) {
            const fs::file_status status = entry.symlink_status();
            std::string& seen = entries[entry.path().string()];
            seen = std::to_string(int(status.type())) + " " +
                   std::to_string(int(status.permissions()));
            if (fs::is_symlink(status)) {
                seen += " -> " + fs::read_symlink(entry.path()).string();
            } else if (fs::is_regular_file(status) && contents) {
                seen += " " + readFile(entry.path());
            }
        }
        return entries;
    }

    const fs::path home = fs::current_path();
    fendralwin::test::TempFolder folder;
};

// Written quietly (stderr is no terminal) under any name the system allows, through a link to a
// file; help and version on stdout; usage errors exit 2 and write nothing.
TEST_F(Program, CommandLine) {
    const std::string usage = "usage: Fendral RADIUS MAXDIFF INPUT OUTPUT\n";
    const std::string version = "Fendral " FENDRAL_VERSION " (filter kernel: ";
    const std::string longName = folder / (std::string(251, 'n') + ".tif");
    const auto linkToAFile = [&] {
        folder.write("sub/file.tif", "old output");
        fs::create_symlink("sub/file.tif", "out.tif");
    };
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string output = "", written = "";
        std::function<void()> make = [] {
        };
    } rows[] = {
        // clang-format off
        {{"2", "10", "in.tif", "out.tif"}, 0, "", "./out.tif"},
        {{"--", "2", "10", "in.tif", "-out.tif"}, 0, "", "./-out.tif"},
        {{"2", "10", "in.tif", longName}, 0, "", "./" + fs::path(longName).filename().string()},
        {{"2", "10", "in.tif", "out.tif"}, 0, "", "./out.tif", linkToAFile},
        {{"2", "--help"}, 0, usage}, {{"-h"}, 0, usage}, {{"--version"}, 0, version},
        {{}, 2}, {{"1", "10", "in.tif"}, 2}, {{"1", "10", "in.tif", "out.tif", "out.tif"}, 2},
        {{".", "10", "in.tif", "out.tif"}, 2}, {{"1", "x", "in.tif", "out.tif"}, 2},
        {{"101", "10", "in.tif", "out.tif"}, 2}, {{"1", "10", "", "out.tif"}, 2},
        {{"1", "10", "-", "out.tif"}, 2}, {{"1", "10", "in.tif", "-"}, 2},
        {{"-x", "1", "10", "in.tif", "out.tif"}, 2}, {{"1", "10", "in.tif", "-out.tif"}, 2},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        row.make();
        const auto before = snapshot(false);
        const ProgramRun run = runFendral(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_TRUE(run.output.starts_with(row.output) && run.output.empty() == row.output.empty());
        EXPECT_EQ(run.errors.empty(), row.exitCode == 0) << run.errors;
        EXPECT_EQ(run.errors.find(usage) != std::string::npos, row.exitCode == 2) << run.errors;
        auto after = snapshot(false);
        if (!row.written.empty()) {
            EXPECT_EQ(readTiff(row.written).size(), 1U);
            after.erase(before.contains(row.written) ? "" : row.written);
            fs::remove(row.written);
        }
        EXPECT_EQ(after, before);
    }
}

// RADIUS and MAXDIFF as the window writes them, and nothing else.
TEST(ParseDecimal, TakesTheWindowsNumberTextsOnly) {
    const std::pair<const char*, std::optional<double>> rows[] = {
        // clang-format off
        {"1", 1}, {"1.5", 1.5}, {"5.", 5}, {".5", 0.5}, {"10", 10}, {"0", 0}, {"007.250", 7.25},
        {".", {}}, {"", {}}, {"-1", {}}, {"+1", {}}, {"1e5", {}}, {"abc", {}}, {"1.2.3", {}},
        {" 1", {}}, {"1 ", {}}, {"1,5", {}}, {"inf", {}}, {"nan", {}}, {"0x10", {}},
        // clang-format on
    };
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(parseDecimal(text), value) << '"' << text << '"';
    }
}

// Exit 1 and one line naming the user's file and the system's or libtiff's reason; every file
// is left as it was.
TEST_F(Program, FailuresTouchNothing) {
    const std::string here = folder.path(), deep = folder / "no/such.tif",
                      page1 = "in.tif page 1: ";
    const auto isInput = [](const std::string& path) {
        return "the output " + path + " is the input file; choose another name";
    };
    const auto input = [](int channels, int bits, TiffLayout layout) -> std::function<void()> {
        return [=] {
            writeTiff("in.tif", {noisyImage(8, 8, channels, bits)}, layout);
        };
    };
    const auto floats = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    };
    const auto palette = [](TIFF* tif) {
        const std::vector<std::uint16_t> map(256);
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    };
    // Strip 2 of page 2 is garbage: it fails while other strips are decoded on other threads,
    // after page 1 went to the temporary file; the old output must survive.
    const auto corruptStrip = [&] {
        writeTiff("in.tif", {noisyImage(20, 12, 1), noisyImage(20, 80, 1)},
                  {.compression = COMPRESSION_LZW});
        std::uint64_t* offsets = nullptr;
        const TiffPtr tif = openTiff("in.tif");
        TIFFSetDirectory(tif.get(), 1);
        TIFFGetField(tif.get(), TIFFTAG_STRIPOFFSETS, &offsets);
        std::fstream("in.tif", std::ios::in | std::ios::out | std::ios::binary)
                .seekp(std::streamoff(offsets[2]))
            << std::string(40, '\xff');
        folder.write("out.tif", "old output");
    };
    const struct {
        std::string input, output, message;
        std::function<void()> make = [] {
        };
        std::string setup = "";
    } rows[] = {
        // clang-format off
        {"none.tif", "out.tif", "cannot open none.tif: No such file or directory"},
        {here, "out.tif", here + " is a folder, not an image"},
        {"in.tif", here, "the output " + here + " is a folder; name a file"},
        {"in.tif", deep, "cannot write " + deep + ": No such file or directory"},
        {"in.tif", "out.tif", "the output out.tif is not a regular file", [] { mkfifo("out.tif", 0644); }},
        {"in.tif", "out.tif", "not writing through a dangling link: out.tif", [] { fs::create_symlink("none.tif", "out.tif"); }},
        {"in.tif", "out.tif", "cannot write out.tif: Too many levels of symbolic links", [] { fs::create_symlink("out.tif", "out.tif"); }},
        {"in.tif", "out.tif", "the output out.tif is read-only", [&] { folder.write("out.tif", "old"); fs::permissions("out.tif", fs::perms::owner_read); }},
        {"in.tif", "in.tif", isInput("in.tif")},
        {"in.tif", "sub/../in.tif", isInput("sub/../in.tif"), [] { fs::create_directory("sub"); }},
        {"in.tif", "link.tif", isInput("link.tif"), [] { fs::create_symlink("in.tif", "link.tif"); }},
        {"in.tif", here + "/hard.tif", isInput(here + "/hard.tif"), [] { fs::create_hard_link("in.tif", "hard.tif"); }},
        // A disk that fills up, here a limit on file sizes.
        {"in.tif", "out.tif", "out.tif page 1: cannot write strip 0: File too large", [] { writeTiff("in.tif", {noisyImage(200, 100, 3)}, {PHOTOMETRIC_RGB}); }, "trap '' XFSZ; ulimit -f 40;"},
        {"in.tif", "out.tif", page1 + "palette images are not supported", input(1, 8, {PHOTOMETRIC_PALETTE, 0, false, false, 1, "w", palette})},
        {"in.tif", "out.tif", page1 + "bilevel (1-bit) images are not supported", input(1, 1, {})},
        {"in.tif", "out.tif", page1 + "CMYK (separated) images are not supported", input(4, 8, {PHOTOMETRIC_SEPARATED})},
        {"in.tif", "out.tif", page1 + "YCbCr images other than JPEG-compressed ones are not supported", input(3, 8, {PHOTOMETRIC_YCBCR})},
        {"in.tif", "out.tif", page1 + "floating-point samples are not supported", input(1, 32, {.tags = floats})},
        {"in.tif", "out.tif", page1 + "32-bit samples are not supported", input(1, 32, {})},
        // libtiff reports that it cannot decode this, and would read on.
        {"in.tif", "out.tif", page1 + "cannot read the page (TWebPFixupTags: TIFF WEBP requires data to be stored contiguously in RGB e.g. RGBRGBRGB or RGBARGBARGBA)",
         input(4, 8, {PHOTOMETRIC_RGB, 0, true, false, COMPRESSION_WEBP})},
        {"in.tif", "out.tif", "in.tif page 2: cannot read strip 2 (Using code not yet in table)", corruptStrip},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        fs::remove("out.tif");
        row.make();
        const auto before = snapshot();
        const ProgramRun run = runFendral({"2", "10", row.input, row.output}, row.setup);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors, "Fendral: " + row.message + "\n");
        EXPECT_EQ(snapshot(), before);
    }
}

// The input is a FIFO: Fendral, its handlers in place and its temporary file made, waits for it
// to open while the signal comes. A signal the parent ignored (nohup, a background job) must
// stay ignored; any other removes the temporary file and ends the process.
TEST_F(Program, SignalsThatTheParentIgnoredStayIgnored) {
    const std::pair<int, bool> cases[] = {{SIGHUP, true}, {SIGINT, true}, {SIGTERM, false}};
    for (const auto& [signal, ignored] : cases) {
        SCOPED_TRACE(strsignal(signal));
        mkfifo("in.fifo", 0644);
        const auto before = snapshot(false);
        const pid_t pid = fork();
        if (pid == 0) {
            std::signal(signal, ignored ? SIG_IGN : SIG_DFL);
            execl(FENDRAL_PROGRAM, FENDRAL_PROGRAM, "2", "10", "in.fifo", "out.tif", nullptr);
            _exit(127);
        }
        siginfo_t info{};
        while (snapshot(false).size() == before.size() &&
               waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(pid, signal);
        const int writer = open("in.fifo", O_RDWR); // never waits; lets Fendral's open go on
        int status = 0;
        waitpid(pid, &status, 0);
        close(writer);
        EXPECT_EQ(status, ignored ? 1 << 8 : signal) << "1 << 8: exit 1";
        EXPECT_EQ(snapshot(false), before);
        fs::remove("in.fifo");
    }
}

// Memory follows the rows that exist: one row a million pixels wide is no large job.
TEST_F(Program, AWideImageOfOneRowTakesLittleMemory) {
    writeTiff("in.tif", {noisyImage(1000000, 1, 3)},
              {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE});
    const ProgramRun run = runFendral({"10", "10", "in.tif", "out.tif"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_LT(run.peakKilobytes, 150 * 1024);
}

} // namespace
} // namespace fendral::test
