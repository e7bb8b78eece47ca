#pragma once

#include <cstddef>
#include <functional>

namespace fendral {

// Runs work(worker, item) for every item in 0..count-1 on up to `workers` threads, the caller's
// among them, and returns when all are done. `worker` (0..workers-1) names the thread, so that
// it can use what that thread owns. The first exception thrown is rethrown here, after the others
// have stopped taking items.
void parallelFor(unsigned workers, std::size_t count,
                 const std::function<void(unsigned worker, std::size_t item)>& work);

} // namespace fendral
