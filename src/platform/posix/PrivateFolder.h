#pragma once

#include <string>

namespace fendralwin::posix {

// True when `folder` is a real folder (not a link) that belongs to this user and that nobody
// else can enter: a script there cannot be swapped for another.
bool isPrivateFolder(const std::string& folder);

// A private folder for job scripts, as folder text, created when missing:
// "$XDG_RUNTIME_DIR/FendralWin/" when the runtime folder is set and this user's, else
// "fendralwin-<uid>/" under $TMPDIR or /tmp. Where that name is taken by something that is not
// a private folder of this user, a fresh one is made beside it instead. Throws PlatformError.
std::string makePrivateFolder();

} // namespace fendralwin::posix
