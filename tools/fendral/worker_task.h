#pragma once

#include <functional>
#include <vector>

namespace fendral {

// A piece of work for one of the page's worker threads, told which worker runs it so that it
// can use what that worker owns (a libtiff handle, a band filter).
using WorkerTask = std::function<void(unsigned worker)>;
using WorkerTasks = std::vector<WorkerTask>;

} // namespace fendral
