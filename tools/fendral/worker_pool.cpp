#include "worker_pool.h"

#include <algorithm>
#include <utility>

namespace fendral {

WorkerPool::WorkerPool(unsigned workers) {
    for (unsigned worker = 0; worker < std::max(1U, workers); ++worker) {
        threads_.emplace_back([this, worker] { work(worker); });
    }
}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
}

void WorkerPool::work(unsigned worker) {
    std::unique_lock lock(lock_);
    for (;;) {
        std::optional<PoolTask> task;
        wake_.wait(lock, [&] {
            return stopping_ || (job_ != nullptr && !error_ && (task = job_->next(worker)));
        });
        if (stopping_) {
            return;
        }
        ++running_;
        const std::uint32_t rowsBefore = job_->rowsDone();
        lock.unlock();
        std::exception_ptr error;
        try {
            task->work(worker);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        --running_;
        if (error) {
            error_ = error_ ? error_ : error;
        } else {
            task->done();
        }
        wake_.notify_all();
        if (error_ || job_->finished() || job_->rowsDone() != rowsBefore) {
            settled_.notify_one();
        }
    }
}

void WorkerPool::run(PoolJob& job, const std::function<void(std::uint32_t)>& rowsDone) {
    std::unique_lock lock(lock_);
    job_ = &job;
    error_ = nullptr;
    wake_.notify_all();
    std::uint32_t reported = 0;
    for (;;) {
        settled_.wait(lock, [&] {
            return (error_ && running_ == 0) || job.finished() || job.rowsDone() != reported;
        });
        if (error_ && running_ == 0) {
            break;
        }
        const std::uint32_t rows = job.rowsDone();
        const bool finished = job.finished();
        lock.unlock();
        try {
            rowsDone(rows - std::exchange(reported, rows));
        } catch (...) {
            lock.lock();
            error_ = error_ ? error_ : std::current_exception();
            continue;
        }
        lock.lock();
        if (finished) {
            break;
        }
    }
    job_ = nullptr;
    if (error_) {
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
}

} // namespace fendral
