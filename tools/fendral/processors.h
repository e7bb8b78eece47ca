#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fendral {

// More workers would only share the same processors, each holding its own buffers.
inline constexpr unsigned maxWorkers = 1024;

// A folder of one of the process's control groups, whose CPU quota binds the process: in
// cpu.max (cgroup v2) or in cpu.cfs_quota_us and cpu.cfs_period_us (v1).
struct QuotaFolder {
    std::string path;
    bool unified = true;
    bool operator==(const QuotaFolder&) const = default;
};

// The folders of the process's own control groups and of their ancestors (whose quotas bind it
// too), from the text of /proc/self/cgroup and /proc/self/mountinfo; a group outside what is
// mounted is left out.
std::vector<QuotaFolder> quotaFolders(std::string_view cgroups, std::string_view mountinfo);

// The processors a quota of QUOTA microseconds every PERIOD allows, rounded up, at least one;
// none when there is no quota ("max", -1) or the text is no quota at all.
std::optional<unsigned> quotaProcessors(std::string_view quota, std::string_view period);
// The same from cpu.max, "QUOTA PERIOD".
std::optional<unsigned> cpuMaxProcessors(std::string_view cpuMax);

// The value of FENDRAL_THREADS; throws UsageError unless it is a whole number from 1 to
// maxWorkers.
unsigned parseWorkerCount(std::string_view text);

// FENDRAL_THREADS where it is set; otherwise one worker per processor the process may run on: the
// fewest of its affinity, the quotas of its control groups and maxWorkers.
unsigned workersToStart();

} // namespace fendral
