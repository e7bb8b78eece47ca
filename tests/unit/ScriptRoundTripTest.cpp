// The composed shell script, run by the real /bin/sh with a probe in place of Fendral: whatever the
// names hold, the probe must receive exactly the four intended arguments and nothing else may run.
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "job/Script.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

// Writes each argument followed by a NUL byte, so that any character survives the record.
constexpr const char* kProbe =
    "#!/bin/sh\n"
    "for arg in \"$@\"; do printf '%s\\0' \"$arg\"; done > \"$PROBE_RECORD\"\n"
    "pwd > \"$PROBE_RECORD.pwd\"\n";

std::vector<std::string> recordedArguments(const std::string& record) {
    std::vector<std::string> arguments;
    std::istringstream in(readFile(record));
    for (std::string argument; std::getline(in, argument, '\0');) {
        arguments.push_back(argument);
    }
    return arguments;
}

// Names made of the characters that shells and command interpreters treat specially.
std::string hostileName(std::mt19937& random) {
    static const std::vector<std::string> pieces{" ",
                                                 "'",
                                                 "\"",
                                                 "$",
                                                 "`",
                                                 "\\",
                                                 "%",
                                                 "!",
                                                 "&",
                                                 ";",
                                                 "*",
                                                 "\n",
                                                 "-",
                                                 "é",
                                                 "日本",
                                                 "$(touch PWNED)",
                                                 "`touch PWNED`",
                                                 "'$HOME'",
                                                 "a",
                                                 "Z",
                                                 "0",
                                                 "|",
                                                 "<",
                                                 ">",
                                                 "(",
                                                 ")",
                                                 "{",
                                                 "}",
                                                 "#",
                                                 "~",
                                                 "?",
                                                 "[x]",
                                                 "\t",
                                                 "''",
                                                 "\\'",
                                                 "%OS%",
                                                 "--x",
                                                 "$PATH"};
    std::uniform_int_distribution<std::size_t> count(1, 8);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string name;
    for (std::size_t i = count(random); i > 0; --i) {
        name += pieces[pick(random)];
    }
    return name;
}

TEST(ScriptRoundTrip, TheProbeReceivesExactlyTheIntendedArguments) {
    TempFolder temp;
    const std::string programFolder = temp / "prog 'dir' $x";
    fs::create_directory(programFolder);
    const std::string probe = programFolder + "/Fendral";
    temp.write("prog 'dir' $x/Fendral", kProbe);
    fs::permissions(probe, fs::perms::owner_exec, fs::perm_options::add);
    const std::string record = temp / "record";
    const ScopedEnv recordVariable("PROBE_RECORD", record.c_str());

    std::mt19937 random(20261206);
    for (int round = 0; round < 60; ++round) {
        const ScriptInputs inputs{.programFolder = programFolder,
                                  .programFolderHasFendral = true,
                                  .radius = round % 2 ? "1.5" : "10",
                                  .maxDiff = ".5",
                                  .inputPath = "/in/" + hostileName(random) + ".tif",
                                  .outputPath = "/out/" + hostileName(random) + ".tif"};
        const std::string script = temp.write("fdw.sh", composePosixScript(inputs));
        fs::remove(record);

        const std::string command = "cd '" + temp.path().string() + "' && /bin/sh fdw.sh";
        ASSERT_EQ(std::system(command.c_str()), 0) << inputs.inputPath << "\n" << inputs.outputPath;

        EXPECT_EQ(recordedArguments(record),
                  (std::vector<std::string>{inputs.radius, inputs.maxDiff, inputs.inputPath,
                                            inputs.outputPath}))
            << "round " << round;
        EXPECT_EQ(readFile(record + ".pwd"), programFolder + "\n");
    }
    EXPECT_FALSE(fs::exists(temp / "PWNED"));
    EXPECT_FALSE(fs::exists(programFolder + "/PWNED"));
}

} // namespace
} // namespace fendralwin::test
