#include "Fakes.h"
#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <sstream>

namespace fendralwin::test {
namespace {

TEST(FormLoad, SetsTheFolderVariablesToFolderTextsAndTouchesNoControl) {
    // clang-format off
    const std::tuple<char, std::string, std::string> cases[]{
        {'\\', "C:\\Tools\\FendralWin", "C:\\Tools\\FendralWin\\"}, {'\\', "D:\\", "D:\\"},
        {'\\', "\\\\server\\share\\apps", "\\\\server\\share\\apps\\"},
        {'/', "/opt/fendralwin", "/opt/fendralwin/"},               {'/', "/", "/"},
    };
    // clang-format on
    for (const auto& [separator, programFolder, folderText] : cases) {
        FakePlatform platform;
        platform.sep = separator;
        platform.folder = programFolder;
        Harness h(platform);
        const auto& vars = h.form().variables();
        EXPECT_EQ(vars.strAppDir, folderText);
        EXPECT_EQ(vars.strInDir, folderText);
        EXPECT_EQ(vars.strOutDir, folderText);
        EXPECT_EQ(h.drvOut.current, programFolder.substr(0, 2)); // the drive of the open folder
        EXPECT_TRUE(h.log.empty()) << programFolder;
    }
}

TEST(FormTerminate, DeletesTheScriptOfTheProgramFolderOnlyOnceLoaded) {
    Harness h;
    h.wiring.reset();
    EXPECT_EQ(h.platform.deleted, std::vector<std::string>{"C:\\Tools\\FendralWin\\"});
    h.platform.deleted.clear();
    { frmFendralWrapper neverLoaded(h.controls(), h.boxes, h.platform); }
    EXPECT_TRUE(h.platform.deleted.empty());
    EXPECT_TRUE(h.boxes.shown.empty());
}

// Read as GNU programs read theirs: the first path counts, "--" ends the options, and the
// answers go to the terminal with the status a script can test.
TEST(CommandLine, OpensTheFirstPathOrAnswersOnTheTerminal) {
    using R = CommandLine::Request;
    // clang-format off
    const std::tuple<std::vector<std::string>, R, std::optional<std::string>, int, std::string> cases[]{
        {{}, R::OpenWindow, std::nullopt, -1, ""},
        {{"a b.tif", "c.tif"}, R::OpenWindow, "a b.tif", -1, ""},
        {{"--", "--help", "x"}, R::OpenWindow, "--help", -1, ""},
        {{"-"}, R::OpenWindow, "-", -1, ""},
        {{"a.tif", "--help"}, R::Help, std::nullopt, 0, "Usage: FendralWin [FILE | FOLDER]\n"},
        {{"--version", "--help"}, R::Version, std::nullopt, 0, "FendralWin 1.2.3\n"},
        {{"-x", "a.tif"}, R::UnknownOption, std::nullopt, 2, "FendralWin: unrecognized option '-x'\nTry 'FendralWin --help' for more information.\n"},
    };
    // clang-format on
    for (const auto& [arguments, request, path, status, answer] : cases) {
        const CommandLine read = parseCommandLine(arguments);
        EXPECT_EQ(read.request, request) << answer;
        EXPECT_EQ(read.path, path) << answer;
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(answerCommandLine(read, "1.2.3", out, errors).value_or(-1), status);
        const std::string& written = status == 2 ? errors.str() : out.str();
        EXPECT_EQ(written.substr(0, answer.size()), answer);
        EXPECT_EQ((status == 2 ? out : errors).str(), "");
    }
}

} // namespace
} // namespace fendralwin::test
