#include "page_filter.h"

#include "band_filter.h"
#include "failure.h"
#include "memory_bound.h"
#include "page_reader.h"
#include "page_tags.h"
#include "page_writer.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace fendral {

namespace {

// Rows a band: few enough that the rings stay small, enough that a band's tasks stay long beside
// the work of handing them out; fewer where rows are so wide that a band would pass 32 MB.
constexpr std::uint32_t mostBandRows = 32;
constexpr std::size_t bandBytes = std::size_t{32} << 20;
// Columns a lane: narrow enough that several workers share even a narrow page, wide enough that
// the columns a lane reads beyond its own stay a small share. Lanes never depend on the number of
// workers, so neither does any sample.
constexpr std::uint32_t laneColumns = 512;
constexpr std::uint32_t mostLanes = 64;
// The planes a lane keeps from band to band, for all lanes together; a page too wide for them
// converts the rows two bands read twice, in each worker's own planes.
constexpr std::size_t keptPlaneBytes = std::size_t{32} << 20;

std::vector<Lane> lanesOf(std::uint32_t width) {
    const std::uint32_t count = std::min(mostLanes, (width + laneColumns - 1) / laneColumns);
    std::vector<Lane> lanes;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto x = static_cast<std::uint32_t>(std::uint64_t{width} * i / count);
        const auto end = static_cast<std::uint32_t>(std::uint64_t{width} * (i + 1) / count);
        lanes.push_back({x, end - x});
    }
    return lanes;
}

// How a page is cut and held on its way through, whatever the number of workers.
struct PipelineShape {
    std::uint32_t bandRows;
    std::vector<Lane> lanes;
    std::uint32_t widestLane;
    std::uint32_t rowsRead;    // held by the input ring: a band of each of two lanes, and reach
    std::uint32_t rowsWritten; // held by the output ring: a band of each of two lanes
    std::size_t planeRowBytes; // of one set of planes
    bool keepsReach;           // each lane its own planes; otherwise each worker its own
};

PipelineShape shapeOf(const PageFormat& page, int reach) {
    PipelineShape shape{};
    shape.bandRows = static_cast<std::uint32_t>(
        std::clamp<std::size_t>(bandBytes / page.rowBytes(), 1, mostBandRows));
    shape.lanes = lanesOf(page.width);
    shape.widestLane = std::ranges::max(shape.lanes, {}, &Lane::columns).columns;
    shape.rowsRead = 2 * shape.bandRows + 2 * unsigned(reach);
    shape.rowsWritten = 2 * shape.bandRows;
    shape.planeRowBytes =
        page.widePlanes()
            ? PlaneRows<double>::bytesFor(page, shape.widestLane, shape.bandRows, reach)
            : PlaneRows<float>::bytesFor(page, shape.widestLane, shape.bandRows, reach);
    shape.keepsReach = shape.planeRowBytes * shape.lanes.size() <= keptPlaneBytes;
    return shape;
}

std::size_t memoryOf(const PageFormat& page, const PipelineShape& shape, unsigned workers) {
    return PageReader::memoryFor(page, workers, shape.rowsRead) +
           PageWriter::memoryFor(outputFormat(page), workers, shape.rowsWritten) +
           shape.planeRowBytes * (shape.keepsReach ? shape.lanes.size() : workers);
}

// One page on its way through: the next task is the first of writing, compressing, filtering a
// band of a lane and decoding whose input is ready and whose output has room. T is the planes'.
template <typename T>
class PagePipeline final : public PoolJob {
public:
    PagePipeline(const OpenInput& open, TiffFile& file, const PageFormat& page,
                 const PageFormat& output, const Disc& disc, double maxDiff,
                 const PipelineShape& shape, unsigned workers)
        : page_(page)
        , workers_(workers)
        , filter_(page, disc, maxDiff, shape.bandRows)
        , bands_((page.height + shape.bandRows - 1) / shape.bandRows)
        , reader_(open, page, workers, shape.rowsRead)
        , writer_(file, output, workers, shape.rowsWritten)
        , keepsReach_(shape.keepsReach) {
        for (const Lane& lane : shape.lanes) {
            lanes_.push_back({lane});
        }
        while (rows_.size() < (keepsReach_ ? lanes_.size() : workers)) {
            rows_.push_back(std::make_unique<PlaneRows<T>>(page, shape.widestLane, shape.bandRows,
                                                           disc.reach()));
        }
    }

    std::optional<PoolTask> next(unsigned worker) override {
        if (worker >= workers_) {
            return std::nullopt;
        }
        if (std::optional<PoolTask> task = writer_.next()) {
            return task;
        }
        if (std::optional<PoolTask> task = bandTask(worker)) {
            return task;
        }
        return reader_.next(worker);
    }
    bool finished() const override { return writer_.finished(); }
    std::uint32_t rowsDone() const override { return filtered_; }

private:
    struct LaneState {
        Lane lane;
        std::uint32_t band = 0; // the next to filter, or the one being filtered
        bool busy = false;
    };

    bool continues(std::uint32_t band) const { return keepsReach_ && band > 0; }

    // The band of a lane whose rows are decoded and have room in the output, the lowest first.
    std::optional<PoolTask> bandTask(unsigned worker) {
        LaneState* chosen = nullptr;
        for (LaneState& state : lanes_) {
            if (!state.busy && state.band < bands_ &&
                (chosen == nullptr || state.band < chosen->band) && isReady(state.band)) {
                chosen = &state;
            }
        }
        if (chosen == nullptr) {
            return std::nullopt;
        }
        chosen->busy = true;
        PlaneRows<T>& rows = *rows_[keepsReach_ ? std::size_t(chosen - lanes_.data()) : worker];
        return PoolTask{[this, chosen, &rows](unsigned) {
                            filter_.run(chosen->lane, chosen->band, continues(chosen->band), rows,
                                        reader_, writer_);
                        },
                        [this, chosen] {
                            chosen->busy = false;
                            ++chosen->band;
                            advance();
                        }};
    }

    bool isReady(std::uint32_t band) const {
        const std::uint32_t last = std::min(page_.height, (band + 1) * filter_.bandRows());
        const std::uint32_t read = std::min(page_.height, last + unsigned(filter_.reach()));
        return reader_.decodedRows() >= read && writer_.hasRoomFor(last);
    }

    // After a band: the rows every lane has filtered go on to be written, and the rows no lane
    // reads any more make room for decoding.
    void advance() {
        std::uint32_t filtered = page_.height;
        std::uint32_t firstRead = page_.height;
        for (const LaneState& state : lanes_) {
            filtered = std::min(filtered, state.band * filter_.bandRows());
            if (state.band < bands_) {
                firstRead = std::min(firstRead, filter_.firstRowRead(state.band));
            }
        }
        reader_.release(firstRead);
        if (filtered > filtered_) {
            filtered_ = filtered;
            writer_.rowsFilled(filtered);
        }
    }

    PageFormat page_;
    unsigned workers_; // those the page's memory allows, the first of the pool's
    BandFilter<T> filter_;
    std::uint32_t bands_;
    PageReader reader_;
    PageWriter writer_;
    std::vector<LaneState> lanes_;
    bool keepsReach_;
    // Each lane's planes when it keeps them, else each worker's.
    std::vector<std::unique_ptr<PlaneRows<T>>> rows_;
    std::uint32_t filtered_ = 0;
};

} // namespace

void checkMemory(const PageFormat& page, const Disc& disc) {
    const std::size_t needed = memoryOf(page, shapeOf(page, disc.reach()), 1);
    if (needed > pageMemoryLimit) {
        throw Failure("filtering it would take " + std::to_string(needed >> 20) +
                      " MB of memory, more than the " + std::to_string(pageMemoryLimit >> 20) +
                      " MB allowed");
    }
}

void filterPage(WorkerPool& pool, const OpenInput& open, TiffFile& file, const PageFormat& page,
                const PageFormat& output, const Disc& disc, double maxDiff,
                const RowsDone& rowsDone) {
    const PipelineShape shape = shapeOf(page, disc.reach());
    unsigned workers = pool.size();
    while (workers > 1 && memoryOf(page, shape, workers) > pageMemoryLimit) {
        --workers;
    }
    if (page.widePlanes()) {
        PagePipeline<double> pipeline(open, file, page, output, disc, maxDiff, shape, workers);
        pool.run(pipeline, rowsDone);
    } else {
        PagePipeline<float> pipeline(open, file, page, output, disc, maxDiff, shape, workers);
        pool.run(pipeline, rowsDone);
    }
}

} // namespace fendral
