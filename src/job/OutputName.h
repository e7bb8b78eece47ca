#pragma once

#include "platform/Platform.h"

#include <string>
#include <string_view>

namespace fendralwin {

// True when the name ends in ".tif" in any letter case (".tif" alone counts).
bool HasTifExtension(std::string_view name);

// True when the name holds a character that no file name may hold: a control character, and in
// the batch dialect also one of " < > | ? * (a typed quote would end the quoted argument).
bool HasForbiddenNameCharacter(std::string_view name, ScriptDialect dialect);

// True when two paths name one file: the same text, or one existing file reached by both (through
// a link, "..", another letter case on a case-blind disk).
bool namesTheSameFile(const std::string& a, const std::string& b, const Platform& platform);

} // namespace fendralwin
