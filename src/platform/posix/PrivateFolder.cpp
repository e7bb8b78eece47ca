#include "platform/posix/PrivateFolder.h"

#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fendralwin::posix {

namespace {

constexpr const char* kTemporaryRoot = "/tmp";

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.ends_with('/')) {
        folder.pop_back();
    }
    return folder;
}

std::string systemProblem(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

// What would let another user rename `folder` or an entry of it, naming the folder at fault, or ""
// when nothing would. Only root, this user and, in a sticky folder, the owner of an entry can
// rename it, so each folder must be root's or ours, and writable by nobody else unless sticky.
std::string problemOfOneFolder(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return systemProblem(folder);
    }
    if (S_ISLNK(info.st_mode)) {
        return folder + " is a link";
    }
    if (!S_ISDIR(info.st_mode)) {
        return folder + " is not a folder";
    }
    if (info.st_uid != 0 && info.st_uid != geteuid()) {
        return folder + " belongs to another user";
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (info.st_mode & S_ISVTX) == 0) {
        return folder + " can be written by other users";
    }
    return {};
}

// The first problem of a folder on the path from the root down to `folder`, which must have no
// links; "" when there is none.
std::string problemOnPath(const std::string& folder) {
    std::filesystem::path walked;
    for (const auto& part : std::filesystem::path(folder)) {
        walked /= part;
        if (!part.empty()) {
            if (std::string problem = problemOfOneFolder(walked.string()); !problem.empty()) {
                return problem;
            }
        }
    }
    return {};
}

// Records one more reason why a folder could not be used.
void note(std::string& problems, const std::string& problem) {
    problems += (problems.empty() ? "" : "; ") + problem;
}

// The real path of `folder` when its whole path is safe from other users; otherwise notes why not.
std::optional<std::string> safeFolderOf(const std::string& folder, std::string& problems) {
    char real[PATH_MAX];
    if (realpath(folder.c_str(), real) == nullptr) {
        note(problems, systemProblem(folder));
        return std::nullopt;
    }
    if (std::string problem = problemOnPath(real); !problem.empty()) {
        note(problems, problem);
        return std::nullopt;
    }
    return std::string(real);
}

std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? withoutTrailingSlash(value) : std::string();
}

// Creates `folder` with mode 0700 when missing; true when it is then a private folder of ours,
// otherwise notes why not.
bool madePrivate(const std::string& folder, std::string& problems) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        note(problems, systemProblem(folder));
        return false;
    }
    if (!isPrivateFolder(folder)) {
        note(problems, folder + " is not a private folder of this user");
        return false;
    }
    return true;
}

} // namespace

bool isPrivateFolder(const std::string& folder) {
    const std::string path = withoutTrailingSlash(folder);
    struct stat info {};
    return problemOnPath(path).empty() && lstat(path.c_str(), &info) == 0 &&
           info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

PrivateFolder makePrivateFolder() {
    std::string problems;
    if (const std::string runtime = absoluteVariable("XDG_RUNTIME_DIR"); !runtime.empty()) {
        if (const auto parent = safeFolderOf(runtime, problems);
            parent && madePrivate(*parent + "/FendralWin", problems)) {
            return {*parent + "/FendralWin/", false};
        }
    }
    // A TMPDIR that cannot be used leaves /tmp, which is safe on any sane system.
    std::vector<std::string> temporaries{absoluteVariable("TMPDIR")};
    if (temporaries.front() != kTemporaryRoot) {
        temporaries.emplace_back(kTemporaryRoot);
    }
    for (const std::string& temporary : temporaries) {
        const auto parent = temporary.empty() ? std::nullopt : safeFolderOf(temporary, problems);
        if (!parent) {
            continue;
        }
        const std::string named = *parent + "/fendralwin-" + std::to_string(geteuid());
        if (madePrivate(named, problems)) {
            return {named + "/", false};
        }
        // Someone else holds the usual name; a folder made by mkdtemp is ours alone.
        std::string fresh = named + "-XXXXXX";
        if (mkdtemp(fresh.data()) != nullptr) {
            return {fresh + "/", true};
        }
        note(problems, "Cannot create a private folder in " + systemProblem(*parent));
    }
    throw PlatformError("No private folder can hold the job script: " + problems);
}

} // namespace fendralwin::posix
