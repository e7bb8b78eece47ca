#include "processors.h"

#include "failure.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sched.h>
#include <thread>

namespace fendral {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool listHas(std::string_view list, std::string_view name) {
    const auto names = split(list, ',');
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::optional<unsigned long long> wholeNumber(std::string_view text) {
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\n");
    return first == std::string_view::npos
               ? std::string_view{}
               : text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

// Where a hierarchy is mounted: its mount point and the group seen there as its root.
struct Mount {
    std::string_view root, point;
};

std::optional<Mount> findMount(std::string_view mountinfo, bool unified) {
    for (const std::string_view line : split(mountinfo, '\n')) {
        // "ID PARENT MAJOR:MINOR ROOT POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS"
        const auto fields = split(line, ' ');
        const auto dash = std::find(fields.begin(), fields.end(), "-");
        if (dash - fields.begin() < 6 || fields.end() - dash < 4) {
            continue;
        }
        if (unified ? dash[1] == "cgroup2" : dash[1] == "cgroup" && listHas(dash[3], "cpu")) {
            return Mount{fields[3], fields[4]};
        }
    }
    return std::nullopt;
}

std::string readText(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

unsigned affinityProcessors() {
    // Room for more processors than any kernel is built for: sched_getaffinity refuses a set
    // smaller than the machine's.
    constexpr int room = 1 << 16;
    const std::unique_ptr<cpu_set_t, void (*)(cpu_set_t*)> set(CPU_ALLOC(room),
                                                               [](cpu_set_t* s) { CPU_FREE(s); });
    const std::size_t size = CPU_ALLOC_SIZE(room);
    if (set && ::sched_getaffinity(0, size, set.get()) == 0) {
        return static_cast<unsigned>(std::max(1, CPU_COUNT_S(size, set.get())));
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

} // namespace

std::vector<QuotaFolder> quotaFolders(std::string_view cgroups, std::string_view mountinfo) {
    std::vector<QuotaFolder> folders;
    for (const std::string_view line : split(cgroups, '\n')) {
        // "ID:CONTROLLERS:PATH"; v2's is "0::PATH", v1 names its controllers (or "name=...").
        const std::size_t first = line.find(':'), second = line.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const bool unified = controllers.empty();
        const std::optional<Mount> mount =
            unified || listHas(controllers, "cpu") ? findMount(mountinfo, unified) : std::nullopt;
        std::string_view group = line.substr(second + 1);
        if (!mount || (mount->root != "/" && group != mount->root &&
                       !group.starts_with(std::string(mount->root) + "/"))) {
            continue;
        }
        group.remove_prefix(mount->root == "/" ? 0 : mount->root.size());
        // The mount point itself is a group too: a container's own, where it has a namespace.
        for (;;) {
            folders.push_back(
                {std::string(mount->point) + std::string(group == "/" ? "" : group), unified});
            const std::size_t slash = group.rfind('/');
            if (slash == std::string_view::npos || group == "/") {
                break;
            }
            group = group.substr(0, std::max<std::size_t>(slash, 1));
        }
    }
    return folders;
}

std::optional<unsigned> quotaProcessors(std::string_view quota, std::string_view period) {
    const auto microseconds = wholeNumber(trimmed(quota));
    const auto every = wholeNumber(trimmed(period));
    if (!microseconds || !every || *every == 0) {
        return std::nullopt;
    }
    const unsigned long long processors = *microseconds / *every + (*microseconds % *every != 0);
    return static_cast<unsigned>(std::clamp<unsigned long long>(processors, 1, maxWorkers));
}

std::optional<unsigned> cpuMaxProcessors(std::string_view cpuMax) {
    const auto words = split(trimmed(cpuMax), ' ');
    return words.size() == 2 ? quotaProcessors(words[0], words[1]) : std::nullopt;
}

unsigned parseWorkerCount(std::string_view text) {
    const auto value = wholeNumber(text);
    if (!value || *value == 0 || *value > maxWorkers) {
        throw UsageError("FENDRAL_THREADS must be a whole number from 1 to " +
                         std::to_string(maxWorkers) + ", not \"" + std::string(text) + "\"");
    }
    return static_cast<unsigned>(*value);
}

unsigned workersToStart() {
    if (const char* setting = std::getenv("FENDRAL_THREADS")) {
        return parseWorkerCount(setting);
    }
    unsigned processors = std::min(affinityProcessors(), maxWorkers);
    for (const QuotaFolder& folder :
         quotaFolders(readText("/proc/self/cgroup"), readText("/proc/self/mountinfo"))) {
        const auto allowed = folder.unified
                                 ? cpuMaxProcessors(readText(folder.path + "/cpu.max"))
                                 : quotaProcessors(readText(folder.path + "/cpu.cfs_quota_us"),
                                                   readText(folder.path + "/cpu.cfs_period_us"));
        processors = std::min(processors, allowed.value_or(processors));
    }
    return processors;
}

} // namespace fendral
