// The composed shell script, run by the real /bin/sh with a probe in place of Fendral: whatever the
// names hold, the probe must receive exactly the four intended arguments and nothing else may run.
#include "ChildProcess.h"
#include "HostileNames.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "job/Script.h"
#include "platform/NativePlatform.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

// Writes each argument followed by a NUL byte, so that any character survives the record; with
// PROBE_HOLD set it records under its process number and then waits for PROBE_HOLD to appear.
constexpr const char* kProbe =
    "#!/bin/sh\n"
    "record=\"$PROBE_RECORD${PROBE_HOLD:+.$$}\"\n"
    "for arg in \"$@\"; do printf '%s\\0' \"$arg\"; done > \"$record\"\n"
    "pwd > \"$PROBE_RECORD.pwd\"\n"
    "while [ -n \"$PROBE_HOLD\" ] && [ ! -e \"$PROBE_HOLD\" ]; do sleep 0.01; done\n";

std::vector<std::string> recordedArguments(const std::string& record) {
    std::vector<std::string> arguments;
    std::istringstream in(readFile(record));
    for (std::string argument; std::getline(in, argument, '\0');) {
        arguments.push_back(argument);
    }
    return arguments;
}

class ScriptRoundTrip : public testing::Test {
protected:
    ScriptRoundTrip() {
        fs::create_directory(programFolder);
        temp.writeProgram("prog 'dir' $x/Fendral", kProbe);
    }
    ScriptInputs inputs(std::string input, std::string output) const {
        return {.programFolder = programFolder,
                .programFolderHasFendral = true,
                .radius = "1.5",
                .maxDiff = ".5",
                .inputPath = std::move(input),
                .outputPath = std::move(output)};
    }
    static std::vector<std::string> arguments(const ScriptInputs& inputs) {
        return {inputs.radius, inputs.maxDiff, inputs.inputPath, inputs.outputPath};
    }
    // The records of probes that ran with PROBE_HOLD set.
    std::vector<std::string> heldRecords() const {
        std::vector<std::string> records;
        for (const auto& entry : fs::directory_iterator(temp.path())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("record.") && !name.ends_with(".pwd")) {
                records.push_back(entry.path().string());
            }
        }
        return records;
    }
    void expectNothingElseRan() const {
        EXPECT_FALSE(fs::exists(temp / "PWNED"));
        EXPECT_FALSE(fs::exists(programFolder + "/PWNED"));
    }

    TempFolder temp;
    const std::string programFolder = temp / "prog 'dir' $x";
    const std::string record = temp / "record";
    ScopedEnv recordVariable{"PROBE_RECORD", record.c_str()};
    ScopedEnv runtime{"XDG_RUNTIME_DIR", nullptr};
    ScopedEnv tmp{"TMPDIR", temp.path().c_str()};
};

TEST_F(ScriptRoundTrip, TheProbeReceivesExactlyTheIntendedArgumentsAndTheScriptRemovesItself) {
    NativePlatform platform(programFolder);
    std::mt19937 random(20261206);
    for (int round = 0; round < 60; ++round) {
        const ScriptInputs job =
            inputs("/in/" + hostileName(random) + ".tif", "/out/" + hostileName(random) + ".tif");
        const std::string script =
            platform.writeScript(programFolder + "/", composePosixScript(job));
        fs::remove(record);

        const std::string command = "echo | timeout 60 /bin/sh '" + script + "' >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << job.inputPath << "\n" << job.outputPath;

        EXPECT_EQ(recordedArguments(record), arguments(job)) << "round " << round;
        EXPECT_EQ(readFile(record + ".pwd"), programFolder + "\n");
        EXPECT_FALSE(fs::exists(script));
    }
    expectNothingElseRan();
}

// A second Run while the first job's Fendral still works: the first shell later reads on in its
// script, which must still be its own text, whatever the second Run wrote.
TEST_F(ScriptRoundTrip, ASecondRunDuringAJobRunsNothingOfItsNamesInTheFirst) {
    const std::string hold = temp / "go";
    const ScopedEnv holdVariable("PROBE_HOLD", hold.c_str());
    NativePlatform platform(programFolder);
    // Long names, so that the first shell has not read its whole script when Fendral starts.
    const ScriptInputs first = inputs("/in/" + std::string(9000, 'a') + ".tif", "/out/a.tif");
    std::string attack;
    while (attack.size() < 12000) {
        attack += "x;touch PWNED;";
    }
    const ScriptInputs second = inputs("/in/b.tif", "/out/" + attack + ";#.tif");

    std::vector<pid_t> shells;
    const auto start = [&](const ScriptInputs& job, std::size_t recordsThen) {
        const std::string script =
            platform.writeScript(programFolder + "/", composePosixScript(job));
        const pid_t shell = fork();
        if (shell == 0) {
            execl("/bin/sh", "sh", "-c", "echo | /bin/sh \"$0\" >/dev/null", script.c_str(),
                  nullptr);
            _exit(127);
        }
        shells.push_back(shell);
        for (int i = 0; i < 1000 && heldRecords().size() < recordsThen; ++i) {
            usleep(10'000);
        }
    };
    start(first, 1);
    start(second, 2);
    temp.write("go", "");
    for (const pid_t shell : shells) {
        EXPECT_EQ(waitForChild(shell, "a job script"), 0);
    }

    std::set<std::vector<std::string>> received;
    for (const std::string& heldRecord : heldRecords()) {
        received.insert(recordedArguments(heldRecord));
    }
    EXPECT_EQ(received, (std::set{arguments(first), arguments(second)}));
    expectNothingElseRan();
}

} // namespace
} // namespace fendralwin::test
