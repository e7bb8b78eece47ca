#pragma once

#include <string>

namespace fendralwin::posix {

// The per-user folder for the job script, as folder text: "$XDG_RUNTIME_DIR/FendralWin/" when
// the runtime folder is set, else "fendralwin-<uid>/" under $TMPDIR or /tmp.
std::string privateFolder();

// Creates the folder with mode 0700 when missing, and makes sure it is a real folder (not a
// link) that belongs to this user and that nobody else can enter. Throws PlatformError.
void ensurePrivateFolder(const std::string& folder);

} // namespace fendralwin::posix
