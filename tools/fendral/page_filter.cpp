#include "page_filter.h"

#include "band_filter.h"
#include "page_reader.h"
#include "page_writer.h"
#include "parallel_for.h"
#include "row_window.h"
#include "worker_task.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace fendral {

namespace {

// Rows per band: enough that the halo each band reads beyond its rows stays a small share.
constexpr std::uint32_t bandRows = 64;
// Bytes of the rows a chunk may hold, so that very wide pages take fewer rows at a time.
constexpr std::size_t chunkBytes = std::size_t{16} << 20;

// Rows filtered at a time: a band per thread, no more rows than the page has.
std::uint32_t rowsPerChunk(const PageFormat& page, unsigned threads) {
    const std::size_t fitting = std::max<std::size_t>(1, chunkBytes / page.rowBytes());
    const std::size_t rows = std::min<std::size_t>(fitting, std::size_t{bandRows} * threads);
    return static_cast<std::uint32_t>(std::min<std::size_t>(rows, page.height));
}

// The tasks that filter rows [first, last) of `in` into `out`: one band per filter; each worker
// runs a band with the filter it owns.
WorkerTasks filterTasks(std::vector<BandFilter>& filters, const RowWindow& in, std::uint32_t first,
                        std::uint32_t last, RowWindow& out) {
    const auto bands = static_cast<std::uint32_t>(filters.size());
    const std::uint32_t rowsPerBand = (last - first + bands - 1) / bands;
    WorkerTasks tasks;
    for (std::uint32_t band = 0; band < bands; ++band) {
        const std::uint32_t from = std::min(last, first + band * rowsPerBand);
        const std::uint32_t to = std::min(last, from + rowsPerBand);
        if (from < to) {
            tasks.emplace_back([&filters, &in, &out, from, to](unsigned worker) {
                filters[worker].run(in, from, to, out);
            });
        }
    }
    return tasks;
}

void runAll(unsigned workers, WorkerTasks tasks) {
    parallelFor(workers, tasks.size(),
                [&](unsigned worker, std::size_t task) { tasks[task](worker); });
}

void append(WorkerTasks& tasks, WorkerTasks more) {
    std::move(more.begin(), more.end(), std::back_inserter(tasks));
}

} // namespace

void filterPage(const OpenInput& open, TiffFile& file, const PageFormat& page,
                const PageFormat& output, const Disc& disc, const FilterSettings& settings,
                const RowsDone& rowsDone) {
    const auto reach = static_cast<std::uint32_t>(disc.reach());
    const unsigned threads = std::max(1U, settings.threads);
    const std::uint32_t chunkRows = rowsPerChunk(page, threads);
    PageReader reader(open, page, threads, chunkRows + reach);
    PageWriter writer(file, output, threads, chunkRows);
    RowWindow in(page.rowBytes(), std::min(page.height, chunkRows + 2 * reach));
    RowWindow filtered(page.rowBytes(), disc.isSingleTap() ? 1 : chunkRows);
    // One filter per worker, whichever band it takes.
    std::vector<BandFilter> filters(
        disc.isSingleTap() ? 0 : threads,
        BandFilter(page, disc, settings.maxDiff, (chunkRows + threads - 1) / threads));
    const auto rowsNeeded = [&](std::uint32_t first) {
        return std::min(page.height, first + chunkRows + reach);
    };
    // Overlapped: while one chunk is filtered, the next one's blocks are decoded, the last one's
    // compressed and the one before's written, all as tasks of the same workers.
    runAll(threads, reader.decodeTasks(rowsNeeded(0)));
    reader.gather(0, rowsNeeded(0), in);
    for (std::uint32_t first = 0; first < page.height; first += chunkRows) {
        const std::uint32_t last = std::min(page.height, first + chunkRows);
        WorkerTasks tasks =
            disc.isSingleTap() ? WorkerTasks{} : filterTasks(filters, in, first, last, filtered);
        append(tasks, writer.tasks());
        append(tasks, reader.decodeTasks(rowsNeeded(last)));
        runAll(threads, std::move(tasks));
        // A single tap leaves every sample as it is: the rows go straight back out.
        writer.take(first, last, disc.isSingleTap() ? in : filtered);
        reader.gather(rowsNeeded(first), rowsNeeded(last), in);
        rowsDone(last - first);
    }
    // The last rows' blocks: compressed in one round, written in the next.
    runAll(threads, writer.tasks());
    runAll(threads, writer.tasks());
}

} // namespace fendral
