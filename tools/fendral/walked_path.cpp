#include "walked_path.h"

#include "failure.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace fendral {

namespace {

// As many links as the system itself follows in one lookup.
constexpr int mostLinks = 40;

// The names of `path` in order; one ending in "/" names a folder, so its last name is ".".
std::deque<std::string> namesOf(const std::string& path) {
    std::deque<std::string> names;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            names.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    if (names.empty() || path.back() == '/') {
        names.emplace_back(".");
    }
    return names;
}

Descriptor openPath(int folder, const char* name) {
    return Descriptor(::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
}

Descriptor startOf(const std::string& path) {
    return openPath(AT_FDCWD, path.starts_with('/') ? "/" : ".");
}

bool mayFollow(int folder, const struct stat& link) {
    struct stat where {};
    if (::fstat(folder, &where) != 0) {
        return false;
    }
    const bool shared = (where.st_mode & S_ISVTX) != 0 && (where.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == where.st_uid;
}

std::string readLink(int link) {
    std::array<char, PATH_MAX> target{};
    const ssize_t size = ::readlinkat(link, "", target.data(), target.size());
    if (size <= 0 || static_cast<std::size_t>(size) == target.size()) {
        errno = size < 0 ? errno : size == 0 ? ENOENT : ENAMETOOLONG;
        return {};
    }
    return {target.data(), static_cast<std::size_t>(size)};
}

} // namespace

WalkedPath walkPath(const std::string& path, const char* verb) {
    const auto cannot = [&] {
        std::string message = "cannot ";
        return Failure(message.append(verb).append(" ").append(path).append(": ").append(
            std::strerror(errno)));
    };
    std::deque<std::string> names = namesOf(path);
    WalkedPath walked;
    walked.folder = startOf(path);
    std::string shown = path.starts_with('/') ? "/" : ""; // the folder, for messages
    int links = 0;
    while (walked.folder.isOpen()) {
        const std::string name = std::move(names.front());
        names.pop_front();
        const bool last = names.empty();
        Descriptor object = openPath(walked.folder.get(), name.c_str());
        struct stat info {};
        if (!object.isOpen() || ::fstat(object.get(), &info) != 0) {
            if (last && errno == ENOENT) {
                walked.name = name;
                return walked;
            }
            throw cannot();
        }
        if (S_ISLNK(info.st_mode)) {
            if (!mayFollow(walked.folder.get(), info)) {
                std::string message = "not following the link ";
                throw Failure(message.append(shown).append(name).append(
                    ": it belongs to another user, in a folder that others can write to"));
            }
            const std::string target = readLink(object.get());
            if (target.empty() || ++links > mostLinks) {
                errno = target.empty() ? errno : ELOOP;
                throw cannot();
            }
            walked.throughLink = walked.throughLink || last;
            for (auto inward = namesOf(target); !inward.empty(); inward.pop_back()) {
                names.push_front(inward.back());
            }
            if (target.starts_with('/')) {
                walked.folder = startOf(target);
                shown.assign(1, '/'); // (assigning "/" draws a false warning from GCC 12)
            }
            continue;
        }
        if (last) {
            walked.name = name;
            walked.object = std::move(object);
            walked.info = info;
            return walked;
        }
        if (!S_ISDIR(info.st_mode)) {
            errno = ENOTDIR;
            throw cannot();
        }
        walked.folder = std::move(object);
        shown += name + "/";
    }
    throw cannot();
}

} // namespace fendral
