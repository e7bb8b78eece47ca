// The window object's Run command: the entry checks, the script and its start.
#include "app/frmFendralWrapper.h"
#include "common/Utf8.h"
#include "job/OutputName.h"
#include "job/Script.h"

#include <exception>
#include <string>

namespace fendralwin {

namespace {

bool isBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

void frmFendralWrapper::cmdRunFendral_Click() {
    try {
        if (!runChecksPass()) {
            return;
        }
        // A chosen file may have vanished since, or the list lost its choice: never hand
        // Fendral a folder or a missing file as its input.
        platform_.requireFile(inputPath());
        // A failed write has been reported; starting an earlier script would rerun an old job.
        if (const auto script = WriteBatchFile()) {
            platform_.startScript(*script, platform_.programFolder());
        }
    } catch (const std::exception& failure) {
        messageBoxes_.show(MessageKind::Critical, "Fendral Error", failure.what());
    }
}

// The entry checks, in order; the first that fails shows its message and stops the Run.
bool frmFendralWrapper::runChecksPass() {
    const std::string name = c_.txtOutputFile->text();
    if (!HasTifExtension(name)) {
        messageBoxes_.show(MessageKind::Plain, kAppTitle,
                           "The output file must have a \".TIF\" extension.");
        c_.txtOutputFile->setText("");
        c_.txtOutputFile->giveFocus();
        return false;
    }
    if (HasForbiddenNameCharacter(name, platform_.scriptDialect())) {
        messageBoxes_.show(
            MessageKind::Plain, kAppTitle,
            "The output file name contains characters that are not allowed in file names.");
        c_.txtOutputFile->giveFocus();
        return false;
    }
    if (isBlank(c_.txtRadius->text())) {
        messageBoxes_.show(MessageKind::Plain, kAppTitle,
                           "The Radius setting must be set to a numeric value.");
        c_.txtRadius->giveFocus();
        return false;
    }
    if (isBlank(c_.txtMaxDiff->text())) {
        messageBoxes_.show(MessageKind::Plain, kAppTitle,
                           "The MaxDiff setting must be set to a numeric value.");
        c_.txtMaxDiff->giveFocus();
        return false;
    }
    if (IsSameFile()) {
        messageBoxes_.show(MessageKind::Warning, "Output File Error",
                           "The input and output files need to be either\r"
                           "different names or in different directories.");
        return false;
    }
    return true;
}

bool frmFendralWrapper::IsSameFile() const {
    return namesTheSameFile(inputPath(), outputPath(), platform_);
}

std::optional<std::string> frmFendralWrapper::WriteBatchFile() {
    try {
        const ScriptDialect dialect = platform_.scriptDialect();
        const ScriptInputs inputs{
            .programFolder = platform_.programFolder(),
            .programFolderHasFendral = platform_.programFolderHasFendral(),
            .radius = c_.txtRadius->text(),
            .maxDiff = c_.txtMaxDiff->text(),
            .inputPath = inputPath(),
            .outputPath = outputPath(),
        };
        const std::string script = composeScript(dialect, inputs);
        if (scriptLength(dialect, script) > kMaxScriptLength) {
            throw PlatformError("Overflow");
        }
        return platform_.writeScript(vars_.strAppDir, script);
    } catch (const std::exception& failure) {
        messageBoxes_.show(MessageKind::Critical, "Batch File Error", failure.what());
        return std::nullopt;
    }
}

} // namespace fendralwin
