#include "job/Script.h"

#include "common/FolderText.h"
#include "common/Utf8.h"

#include <string_view>

namespace fendralwin {

namespace {

std::string replaceAll(std::string_view text, char from, std::string_view to) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c == from) {
            result += to;
        } else {
            result += c;
        }
    }
    return result;
}

std::string batchText(std::string_view text) {
    return replaceAll(text, '%', "%%");
}

std::string shellQuoted(std::string_view text) {
    std::string quoted = "'";
    quoted += replaceAll(text, '\'', R"('\'')");
    quoted += '\'';
    return quoted;
}

std::string posixFendralCommand(const ScriptInputs& inputs) {
    if (!inputs.programFolderHasFendral) {
        return "Fendral";
    }
    return shellQuoted(FolderText(inputs.programFolder, '/') + "Fendral");
}

} // namespace

std::string composeBatchScript(const ScriptInputs& inputs) {
    const std::string_view crlf = "\r\n";
    const std::string folderPart = batchText(utf8::dropCharacters(inputs.programFolder, 3));
    std::string script = "cd\\";
    script += crlf;
    script += "cd \\\"";
    script += folderPart;
    script += '"';
    script += crlf;
    script += "Fendral ";
    script += batchText(inputs.radius);
    script += ' ';
    script += batchText(inputs.maxDiff);
    script += " \"";
    script += batchText(inputs.inputPath);
    script += "\" \"";
    script += batchText(inputs.outputPath);
    // The interpreter reopens a batch file after each command; a later Run may have rewritten it
    // by then, so the job ends here instead of reading on.
    script += "\" & exit /b";
    script += crlf;
    return script;
}

std::string composePosixScript(const ScriptInputs& inputs) {
    // The file removes itself first (the shell reads on from its open copy), so no script is
    // left behind and none is ever shared with another Run. The terminal stays open on the
    // result until Enter.
    std::string script = "#!/bin/sh\n";
    script += "rm -f -- \"$0\"; cd " + shellQuoted(inputs.programFolder) + " || exit 1\n";
    script += "if " + posixFendralCommand(inputs) + " " + shellQuoted(inputs.radius) + " " +
              shellQuoted(inputs.maxDiff) + " " + shellQuoted(inputs.inputPath) + " " +
              shellQuoted(inputs.outputPath) +
              "; then echo; echo 'Fendral finished.'; else echo; echo 'Fendral failed.'; fi; "
              "printf 'Press Enter to close this window. '; read -r _\n";
    return script;
}

std::string composeScript(ScriptDialect dialect, const ScriptInputs& inputs) {
    return dialect == ScriptDialect::Batch ? composeBatchScript(inputs)
                                           : composePosixScript(inputs);
}

std::size_t scriptLength(ScriptDialect dialect, const std::string& script) {
    const std::size_t lineBreak = dialect == ScriptDialect::Batch ? 2 : 1;
    const std::size_t length = utf8::utf16Length(script);
    return length < lineBreak ? 0 : length - lineBreak;
}

} // namespace fendralwin
