#pragma once

#include "platform/Platform.h"

#include <string_view>

namespace fendralwin {

// True when the name ends in ".tif" in any letter case (".tif" alone counts).
bool HasTifExtension(std::string_view name);

// True when the name holds a character that no file name may hold: a control character, and in
// the batch dialect also one of " < > | ? * (a typed quote would end the quoted argument).
bool HasForbiddenNameCharacter(std::string_view name, ScriptDialect dialect);

} // namespace fendralwin
