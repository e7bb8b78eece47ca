#include "parallel_for.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace fendral {

void parallelFor(unsigned workers, std::size_t count,
                 const std::function<void(unsigned worker, std::size_t item)>& work) {
    const auto threads = static_cast<unsigned>(std::min<std::size_t>(std::max(1U, workers), count));
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr firstError;
    std::mutex errorLock;
    const auto take = [&](unsigned worker) {
        for (std::size_t item = next++; item < count && !failed; item = next++) {
            try {
                work(worker, item);
            } catch (...) {
                const std::lock_guard lock(errorLock);
                if (!failed.exchange(true)) {
                    firstError = std::current_exception();
                }
            }
        }
    };
    {
        std::vector<std::jthread> others;
        for (unsigned worker = 1; worker < threads; ++worker) {
            others.emplace_back(take, worker);
        }
        take(0);
    }
    if (firstError) {
        std::rethrow_exception(firstError);
    }
}

} // namespace fendral
