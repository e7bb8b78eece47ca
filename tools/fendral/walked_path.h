#pragma once

#include "descriptor.h"

#include <string>
#include <sys/stat.h>

namespace fendral {

// A path looked up once, one name at a time, each name opened without following it from the
// folder descriptor held: every later step acts on `folder` and `name`, whatever happens to the
// path's names meanwhile. A link is read through its own descriptor and followed from the folder
// it lies in, but not where another user could have planted it (see walkPath).
struct WalkedPath {
    Descriptor folder;        // the folder the last name lies in (O_PATH)
    std::string name;         // the last name there, never a link
    Descriptor object;        // what the name holds (O_PATH), closed when nothing is there
    struct stat info {};      // of object
    bool throughLink = false; // the last name is a link's target

    bool exists() const { return object.isOpen(); }
};

// Walks `path`. A link in a sticky folder that others may write to (/tmp) is followed only when it
// belongs to us or to the folder's owner, the rule the system applies to such links where it
// protects them, applied here whatever the system's setting: otherwise anyone could point a name
// that we are about to write in /tmp at a file of ours. Throws Failure: "cannot <verb> <path>:
// <the system's reason>" when a folder on the way cannot be opened (the last name may be missing),
// or naming the link that is not followed.
WalkedPath walkPath(const std::string& path, const char* verb);

} // namespace fendral
