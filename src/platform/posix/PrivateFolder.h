#pragma once

#include <string>

namespace fendralwin::posix {

// True when `folder` is a real folder (no link on its path) that belongs to this user, that nobody
// else can enter, and that no other user can rename away: every folder above it is owned by root
// or this user and writable by nobody else, unless it is sticky (as /tmp is).
bool isPrivateFolder(const std::string& folder);

struct PrivateFolder {
    std::string path; // folder text, on a path without links
    bool fresh;       // made under a unique name for this process alone
};

// A private folder for job scripts, created when missing: "FendralWin/" in $XDG_RUNTIME_DIR, else
// "fendralwin-<uid>/" in $TMPDIR, else in /tmp; each used only when its whole path is safe from
// other users. Where that name is taken by something that is not a private folder of this user, a
// fresh one is made beside it instead. Throws PlatformError naming each folder tried and what is
// wrong with it when none can be used.
PrivateFolder makePrivateFolder();

} // namespace fendralwin::posix
