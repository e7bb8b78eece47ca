#include "FailureOf.h"
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "platform/FolderContents.h"
#include "platform/NativePlatform.h"
#include "platform/windows/SystemText.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(WindowsScriptFile, IsWrittenInTheOemCodePageAndReplacesTheOldOneWhole) {
    ASSERT_EQ(GetOEMCP(), 437U) << "the expected bytes below are those of code page 437";
    TempFolder temp;
    NativePlatform platform(utf8(temp.path()));
    const std::string appDir = utf8(temp.path()) + "\\";
    platform.writeScript(appDir, "a much longer earlier script\r\n");
    const std::string script =
        platform.writeScript(appDir, "Fendral 1 10 \"C:\\\xC3\xA9t\xC3\xA9\\a.tif\"\r\n");
    EXPECT_EQ(script, appDir + "fdw.bat");
    EXPECT_EQ(bytesOf(temp.path() / L"fdw.bat"), "Fendral 1 10 \"C:\\\x82t\x82\\a.tif\"\r\n");
    platform.deleteScript(appDir);
    EXPECT_FALSE(fs::exists(temp.path() / L"fdw.bat"));
}

TEST(WindowsScriptFile, ACharacterTheCodePageCannotHoldIsNamedAndNothingIsWritten) {
    struct Case {
        const char* text;
        const char* named;
    };
    const Case cases[]{
        {"C:\\\xC5\x81\xC3\xB3"
         "d\xC5\xBA\\a.tif",
         "(U+0141)"},                               // Polish L with stroke
        {"C:\\\xE2\x82\xAC\\a.tif", "(U+20AC)"},    // euro sign
        {"C:\\x\xF0\x9F\x93\xB7.tif", "(U+1F4F7)"}, // beyond 16 bits
        {"C:\\\xEF\xBC\xA1.tif", "(U+FF21)"},       // best fit would give "A"
    };
    TempFolder kept;
    TempFolder empty;
    NativePlatform platform(utf8(kept.path()));
    platform.writeScript(utf8(kept.path()) + "\\", "earlier\r\n");
    for (const Case& c : cases) {
        for (const TempFolder* folder : {&kept, &empty}) {
            const std::string failure =
                failureOf([&] { platform.writeScript(utf8(folder->path()) + "\\", c.text); });
            EXPECT_NE(failure.find(c.named), std::string::npos) << failure;
            EXPECT_NE(failure.find("code page 437"), std::string::npos) << failure;
        }
        EXPECT_EQ(bytesOf(kept.path() / L"fdw.bat"), "earlier\r\n") << c.named;
        EXPECT_FALSE(fs::exists(empty.path() / L"fdw.bat")) << c.named;
    }
}

TEST(WindowsPlatform, FailuresGiveTheSystemsOwnDescription) {
    TempFolder temp;
    NativePlatform platform(utf8(temp.path()));
    EXPECT_EQ(
        failureOf([&] { platform.writeScript(utf8(temp.path() / L"no such folder") + "\\", "x"); }),
        windows::systemMessage(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(failureOf([&] { platform.requireFile(utf8(temp.path() / L"gone.tif")); }),
              windows::systemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(failureOf([&] { platform.requireFile(utf8(temp.path())); }),
              windows::systemMessage(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failureOf([&] { platform.requireFile(temp.write("in.tif", "x")); }), "no failure");
}

TEST(WindowsPlatform, KnowsOneFileReachedByAnotherPath) {
    TempFolder temp;
    const std::string scan = temp.write("Images/Scan1.tif", "a");
    temp.write("Images/other.tif", "b");
    const std::string images = utf8(temp.path() / L"Images");
    const NativePlatform platform(utf8(temp.path()));
    const std::vector<std::pair<std::string, bool>> others{
        {images + "\\Scan1.tif", true},
        {images + "\\SCAN1.TIF", true},
        {images + "\\..\\Images\\scan1.tif", true},
        {images + "\\other.tif", false},
        {images + "\\missing.tif", false},
    };
    for (const auto& [other, same] : others) {
        EXPECT_EQ(platform.isSameExistingFile(scan, other), same) << other;
    }
    EXPECT_FALSE(platform.isSameExistingFile(images + "\\missing.tif", images + "\\missing.tif"));
}

TEST(WindowsPlatform, TheProgramFolderHoldsTheRunningProgram) {
    const std::string folder = NativePlatform().programFolder();
    EXPECT_FALSE(folder.ends_with('\\')) << folder;
    EXPECT_TRUE(fs::exists(fs::path(windows::widen(folder)) / L"fendralwin_windows_tests.exe"))
        << folder;
}

TEST(WindowsReadFolder, SplitsSubfoldersFromMatchingFilesAndLeavesOutTheDotEntries) {
    TempFolder temp;
    for (const wchar_t* file : {L"a.tif", L"B.TIF", L"c.tiff", L"d.txt", L"\u00e9t\u00e9.tif"}) {
        std::ofstream(temp.path() / file) << "x";
    }
    fs::create_directory(temp.path() / L"sub");
    fs::create_directory(temp.path() / L"folder.tif");
    FolderContents contents = readFolder(utf8(temp.path()), "*.tif");
    std::ranges::sort(contents.folders);
    std::ranges::sort(contents.files);
    EXPECT_EQ(contents.folders, (std::vector<std::string>{"folder.tif", "sub"}));
    EXPECT_EQ(contents.files,
              (std::vector<std::string>{"B.TIF", "a.tif", "\xC3\xA9t\xC3\xA9.tif"}));
}

TEST(WindowsReadFolder, ReadsADriveRootAndRefusesAMissingFolder) {
    const FolderContents root = readFolder("C:\\");
    EXPECT_TRUE(std::ranges::any_of(root.folders, [](const std::string& name) {
        return CompareStringOrdinal(windows::widen(name).c_str(), -1, L"windows", -1, TRUE) ==
               CSTR_EQUAL;
    }));
    TempFolder temp;
    EXPECT_THROW(readFolder(utf8(temp.path() / L"missing")), PlatformError);
}

} // namespace
} // namespace fendralwin::test
