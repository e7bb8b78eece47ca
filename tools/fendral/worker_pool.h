#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace fendral {

// A piece of a job: `work` runs on a worker, outside the pool's lock, told which worker runs it so
// that it can use what that worker owns (a libtiff handle, an encoder); `done` runs after it,
// under the lock, where the job keeps its state.
struct PoolTask {
    std::function<void(unsigned worker)> work;
    std::function<void()> done = [] {
    };
};

// What the pool works on. Every call comes under the pool's lock.
class PoolJob {
public:
    virtual ~PoolJob() = default;
    // A task whose inputs are ready for `worker`, or none while those running must finish first.
    virtual std::optional<PoolTask> next(unsigned worker) = 0;
    virtual bool finished() const = 0;
    // How far the job has come, in rows, for the progress the caller reports.
    virtual std::uint32_t rowsDone() const = 0;
};

// Threads that live for the whole run and work on one job at a time, each taking the next ready
// task as soon as it is free: no rounds, no waiting for the slowest of a batch.
class WorkerPool {
public:
    explicit WorkerPool(unsigned workers);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned size() const { return static_cast<unsigned>(threads_.size()); }
    // Works on job until it is finished, calling rowsDone on this thread with the rows done since
    // the last call. The first exception a task throws stops the job: once no task runs, it is
    // rethrown here.
    void run(PoolJob& job, const std::function<void(std::uint32_t)>& rowsDone);

private:
    void work(unsigned worker);

    std::mutex lock_;
    std::condition_variable wake_;    // workers: a task may be ready
    std::condition_variable settled_; // the caller: rows done, the job finished or failed
    PoolJob* job_ = nullptr;
    unsigned running_ = 0;
    std::exception_ptr error_;
    bool stopping_ = false;
    std::vector<std::jthread> threads_;
};

} // namespace fendral
