#include "TempFolder.h"
#include "run_program.h"
#include "test_tiff.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fendral::test {
namespace {

namespace fs = std::filesystem;
using fendralwin::test::readFile;

class Program : public testing::Test {
protected:
    Program() { writeTiff(in, {noisyImage(20, 12, 3, 8, false, 5)}, {PHOTOMETRIC_RGB}); }

    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif";
    const std::string out = folder / "out.tif";
};

TEST_F(Program, FiltersQuietlyWhenStderrIsNoTerminal) {
    const ProgramRun run = runFendral({"2", "10", in, out});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(readTiff(out).size(), 1U);
    EXPECT_EQ(files(), (std::set<std::string>{"in.tif", "out.tif"}));
}

TEST_F(Program, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases{{},
                                                      {"1", "10", in},
                                                      {"1", "10", in, out, out},
                                                      {".", "10", in, out},
                                                      {"", "10", in, out},
                                                      {"-1", "10", in, out},
                                                      {"1e5", "10", in, out},
                                                      {"abc", "10", in, out},
                                                      {"1", "x", in, out},
                                                      {"101", "10", in, out},
                                                      {"1", "10", "", out},
                                                      {"1", "10", "-", out},
                                                      {"1", "10", in, "-"},
                                                      {"-x", "1", "10", in, out}};
    for (const auto& args : cases) {
        const ProgramRun run = runFendral(args);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(args);
        EXPECT_NE(run.errors.find("usage: Fendral RADIUS MAXDIFF INPUT OUTPUT"), std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(Program, HelpAndVersionGoToStandardOutput) {
    const std::string version = "Fendral " FENDRAL_VERSION " (filter kernel: ";
    for (const auto& [arg, starts] : {std::pair<std::string, std::string>{"--help", "usage: "},
                                      {"-h", "usage: "},
                                      {"--version", version}}) {
        const ProgramRun run = runFendral({"2", arg});
        EXPECT_EQ(std::tuple(run.exitCode, run.errors), std::tuple(0, "")) << arg;
        EXPECT_TRUE(run.output.starts_with(starts)) << run.output;
    }
}

// After "--" a name that begins with "-" is a file.
TEST_F(Program, FilesMayBeginWithADashAfterTheOptions) {
    const ProgramRun run = runFendral({"--", "2", "10", in, folder / "-out.tif"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(readTiff(folder / "-out.tif").size(), 1U);
}

void writeUnsupported(const std::string& path, int bits, int channels, std::uint16_t photometric,
                      std::uint16_t sampleFormat, bool planar, std::uint16_t compression) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 8);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 8);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, sampleFormat);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    std::vector<std::uint16_t> map(256);
    if (photometric == PHOTOMETRIC_PALETTE) {
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    }
    std::vector<char> zeros(static_cast<std::size_t>(TIFFStripSize(tif)));
    TIFFWriteEncodedStrip(tif, 0, zeros.data(), TIFFStripSize(tif));
    TIFFClose(tif);
}

TEST_F(Program, UnsupportedImagesAreNamedAndLeaveNoOutput) {
    const struct {
        int bits, channels;
        std::uint16_t photometric, sampleFormat;
        const char* message;
        bool planar = false;
        std::uint16_t compression = COMPRESSION_NONE;
    } cases[] = {
        {8, 1, PHOTOMETRIC_PALETTE, SAMPLEFORMAT_UINT, "palette images are not supported"},
        {1, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_UINT,
         "bilevel (1-bit) images are not supported"},
        {8, 4, PHOTOMETRIC_SEPARATED, SAMPLEFORMAT_UINT,
         "CMYK (separated) images are not supported"},
        {8, 3, PHOTOMETRIC_YCBCR, SAMPLEFORMAT_UINT,
         "YCbCr images other than JPEG-compressed ones are not supported"},
        {32, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_IEEEFP,
         "floating-point samples are not supported"},
        {32, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_UINT, "32-bit samples are not supported"},
        // libtiff reports that it cannot decode this, and would read on.
        {8, 4, PHOTOMETRIC_RGB, SAMPLEFORMAT_UINT,
         "cannot read the page (TWebPFixupTags: TIFF WEBP requires data to be stored "
         "contiguously in RGB e.g. RGBRGBRGB or RGBARGBARGBA)",
         true, COMPRESSION_WEBP},
    };
    for (const auto& c : cases) {
        writeUnsupported(in, c.bits, c.channels, c.photometric, c.sampleFormat, c.planar,
                         c.compression);
        const ProgramRun run = runFendral({"2", "10", in, out});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_EQ(run.errors, "Fendral: " + in + " page 1: " + c.message + "\n");
        EXPECT_EQ(files(), std::set<std::string>{"in.tif"});
    }
}

// A strip in the middle of page 2 is garbage: it fails, while other strips are decoded on other
// threads, after page 1 went to the temporary file, and the old output must survive intact.
TEST_F(Program, FailureOnALaterPageLeavesTheOldOutputAlone) {
    writeTiff(in, {noisyImage(20, 12, 1, 8, false, 6), noisyImage(20, 80, 1, 8, false, 7)},
              {PHOTOMETRIC_MINISBLACK, 0, false, false, COMPRESSION_LZW});
    std::streamoff lastPageData = 0;
    forEachPage(in, [&](TIFF* tif) {
        std::uint64_t* offsets = nullptr;
        if (TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets) && TIFFNumberOfStrips(tif) > 2) {
            lastPageData = static_cast<std::streamoff>(offsets[2]);
        }
    });
    std::fstream(in, std::ios::in | std::ios::out | std::ios::binary).seekp(lastPageData)
        << std::string(40, '\xff');
    folder.write("out.tif", "old output");
    const ProgramRun run = runFendral({"2", "10", in, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("page 2: cannot read strip 2"), std::string::npos) << run.errors;
    EXPECT_EQ(readFile(out), "old output");
    EXPECT_EQ(files(), (std::set<std::string>{"in.tif", "out.tif"}));
}

TEST_F(Program, RefusesAnOutputThatIsTheInputByAnyPath) {
    fs::create_directory(folder.path() / "sub");
    fs::create_symlink(in, folder / "link.tif");
    fs::create_hard_link(in, folder / "hard.tif");
    const std::string before = readFile(in);
    for (const std::string& output :
         {in, folder / "sub/../in.tif", folder / "link.tif", folder / "hard.tif"}) {
        const ProgramRun run = runFendral({"2", "10", in, output});
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_NE(run.errors.find("is the input file"), std::string::npos) << run.errors;
        EXPECT_EQ(readFile(in), before);
    }
}

// Names, kinds, link targets and contents of everything in a folder, to show nothing changed.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::file_status status = entry.symlink_status();
        std::string& seen = entries[entry.path().string()];
        seen = std::to_string(static_cast<int>(status.type())) + " " +
               std::to_string(static_cast<int>(status.permissions()));
        if (fs::is_symlink(status)) {
            seen.append(" -> ").append(fs::read_symlink(entry.path()).string());
        } else if (fs::is_regular_file(status)) {
            seen.append(" ").append(readFile(entry.path()));
        }
    }
    return entries;
}

// Each is refused before any work, with one line naming the user's file and the reason.
TEST_F(Program, UnusablePathsAreRefusedAndLeftAsTheyWere) {
    const std::string none = folder / "none.tif";
    const struct {
        std::string input, output, message;
        std::function<void(const std::string&)> make = [](const std::string&) {
        };
    } cases[] = {
        {none, out, "cannot open " + none + ": No such file or directory"},
        {folder.path(), out, folder.path().string() + " is a folder, not an image"},
        {in, folder.path(), "the output " + folder.path().string() + " is a folder; name a file"},
        {in, folder / "no/such/out.tif",
         "cannot write " + folder / "no/such/out.tif" + ": No such file or directory"},
        {in, out, "the output " + out + " is not a regular file",
         [](const std::string& path) {
             mkfifo(path.c_str(), 0644);
         }},
        {in, out, "not writing through a dangling link: " + out,
         [&](const std::string& path) {
             fs::create_symlink(folder / "nowhere.tif", path);
         }},
        {in, out, "cannot write " + out + ": Too many levels of symbolic links",
         [](const std::string& path) {
             fs::create_symlink(path, path);
         }},
        {in, out, "the output " + out + " is read-only",
         [&](const std::string& path) {
             folder.write("out.tif", "old output");
             fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
         }},
    };
    for (const auto& c : cases) {
        fs::remove(out);
        c.make(out);
        const auto before = snapshot(folder.path());
        const ProgramRun run = runFendral({"2", "10", c.input, c.output});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_EQ(run.errors, "Fendral: " + c.message + "\n");
        EXPECT_EQ(snapshot(folder.path()), before) << c.message;
    }
}

// A name as long as the system allows, and a link to a file, which is written through.
TEST_F(Program, LongNamesAndLinksToFilesAreWritten) {
    const std::string longName = folder / (std::string(251, 'n') + ".tif");
    const std::string target = folder.write("sub/target.tif", "old output");
    fs::create_symlink(target, out);
    for (const std::string& output : {longName, out}) {
        const ProgramRun run = runFendral({"2", "10", in, output});
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(readTiff(output).size(), 1U);
    }
    EXPECT_TRUE(fs::is_symlink(out));
    EXPECT_EQ(files(), (std::set<std::string>{"in.tif", "out.tif", "sub",
                                              fs::path(longName).filename().string()}));
}

// The input is a FIFO: Fendral, its handlers in place and its temporary file made, waits for
// it to open while the signal comes. A signal the parent ignored (nohup, a background job) must
// stay ignored; any other removes the temporary file and ends the process.
TEST_F(Program, SignalsThatTheParentIgnoredStayIgnored) {
    const std::string fifo = folder / "in.fifo";
    const struct {
        int signal;
        bool ignored;
    } cases[] = {{SIGHUP, true}, {SIGINT, true}, {SIGTERM, false}};
    for (const auto& c : cases) {
        mkfifo(fifo.c_str(), 0644);
        struct sigaction ignore {
        }, previous{};
        ignore.sa_handler = c.ignored ? SIG_IGN : SIG_DFL;
        sigaction(c.signal, &ignore, &previous);
        ProgramProcess process({"2", "10", fifo, out});
        sigaction(c.signal, &previous, nullptr);
        while (process.running() && std::ranges::none_of(files(), [](const std::string& name) {
                   return name.find(".fendral-") != std::string::npos;
               })) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(process.pid(), c.signal);
        // Opening for reading and writing never waits; held open, it lets Fendral's open go on
        // whenever Fendral gets there.
        const int writer = open(fifo.c_str(), O_RDWR);
        const ProgramRun run = process.wait();
        close(writer);
        EXPECT_EQ(run.signal, c.ignored ? 0 : c.signal) << strsignal(c.signal);
        EXPECT_EQ(run.exitCode, c.ignored ? 1 : -1) << strsignal(c.signal);
        EXPECT_EQ(files(), (std::set<std::string>{"in.fifo", "in.tif"})) << strsignal(c.signal);
        fs::remove(fifo);
    }
}

// A disk that fills up (here a file size limit) is named with the system's reason.
TEST_F(Program, AFailedWriteGivesTheSystemsReason) {
    writeTiff(in, {noisyImage(200, 100, 3, 8, false, 5)}, {PHOTOMETRIC_RGB});
    rlimit limit{}, previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    limit = {20000, previous.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const ProgramRun run = runFendral({"2", "10", in, out});
    std::signal(SIGXFSZ, previousHandler);
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.starts_with("Fendral: " + out + " page 1: cannot write ")) << run.errors;
    EXPECT_TRUE(run.errors.ends_with(": File too large\n")) << run.errors;
    EXPECT_EQ(files(), std::set<std::string>{"in.tif"});
}

// Memory follows the rows that exist: one row a million pixels wide is no large job.
TEST_F(Program, AWideImageOfOneRowTakesLittleMemory) {
    writeTiff(in, {noisyImage(1000000, 1, 3, 8, false, 5)},
              {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE});
    const ProgramRun run = runFendral({"10", "10", in, out});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_LT(run.peakKilobytes, 150 * 1024);
}

} // namespace
} // namespace fendral::test
