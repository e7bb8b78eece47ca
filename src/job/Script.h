#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <string>

// The job script: the text that changes into the program folder and runs Fendral.
namespace fendralwin {

struct ScriptInputs {
    std::string programFolder; // as the platform gives it: no trailing separator but at a root
    bool programFolderHasFendral = false;
    std::string radius;
    std::string maxDiff;
    std::string inputPath;
    std::string outputPath;
};

// The longest script, in UTF-16 code units, that may be written.
inline constexpr std::size_t kMaxScriptLength = 32767;

// Three lines, each ended by CR LF: "cd\", "cd \" + quoted folder without its drive part, and the
// Fendral command followed by " & exit /b". Every "%" is doubled so that the command interpreter
// hands it on unchanged.
std::string composeBatchScript(const ScriptInputs& inputs);

// Three lines, each ended by LF; every argument single-quoted so that no name is read as syntax.
// The script deletes its own file when it starts and waits for Enter when Fendral is done.
std::string composePosixScript(const ScriptInputs& inputs);

std::string composeScript(ScriptDialect dialect, const ScriptInputs& inputs);

// Length of a composed script, without its final line break, in UTF-16 code units: the measure
// that kMaxScriptLength limits.
std::size_t scriptLength(ScriptDialect dialect, const std::string& script);

} // namespace fendralwin
