#include "TempFolder.h"
#include "run_program.h"
#include "test_tiff.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

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
                                                      {"1", "10", "", out}};
    for (const auto& args : cases) {
        const ProgramRun run = runFendral(args);
        EXPECT_EQ(run.exitCode, 2) << testing::PrintToString(args);
        EXPECT_NE(run.errors.find("usage: Fendral RADIUS MAXDIFF INPUT OUTPUT"), std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
}

void writeUnsupported(const std::string& path, int bits, int channels, std::uint16_t photometric,
                      std::uint16_t sampleFormat) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 8);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 8);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, sampleFormat);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8);
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
    };
    for (const auto& c : cases) {
        writeUnsupported(in, c.bits, c.channels, c.photometric, c.sampleFormat);
        const ProgramRun run = runFendral({"2", "10", in, out});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_EQ(run.errors, "Fendral: " + in + " page 1: " + c.message + "\n");
        EXPECT_EQ(files(), std::set<std::string>{"in.tif"});
    }
}

// Page 2's data is garbage: it fails after page 1 went to the temporary file, and the old output
// must survive intact.
TEST_F(Program, FailureOnALaterPageLeavesTheOldOutputAlone) {
    writeTiff(in, {noisyImage(20, 12, 1, 8, false, 6), noisyImage(20, 12, 1, 8, false, 7)},
              {PHOTOMETRIC_MINISBLACK, 0, false, false, COMPRESSION_LZW});
    std::streamoff lastPageData = 0;
    forEachPage(in, [&](TIFF* tif) {
        std::uint64_t* offsets = nullptr;
        TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets);
        lastPageData = static_cast<std::streamoff>(offsets[0]);
    });
    std::fstream(in, std::ios::in | std::ios::out | std::ios::binary).seekp(lastPageData)
        << std::string(40, '\xff');
    folder.write("out.tif", "old output");
    const ProgramRun run = runFendral({"2", "10", in, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("page 2: cannot read strip 0"), std::string::npos) << run.errors;
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

TEST_F(Program, UnusableInputOrOutputPaths) {
    const struct {
        std::string input, output, message;
    } cases[] = {{folder / "none.tif", out, "cannot open"},
                 {in, folder / "no/such/folder/out.tif", "cannot create a file in"},
                 {folder.path(), out, "is a folder"},
                 {in, folder.path(), "is a folder"}};
    for (const auto& c : cases) {
        const ProgramRun run = runFendral({"2", "10", c.input, c.output});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
}

} // namespace
} // namespace fendral::test
