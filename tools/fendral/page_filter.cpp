#include "page_filter.h"

#include "band_filter.h"
#include "page_reader.h"
#include "page_writer.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace fendral {

namespace {

// Rows a band: few enough that the rings stay small, enough that a band's tasks stay long beside
// the work of handing them out.
constexpr std::uint32_t bandRows = 32;
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

// One page on its way through: the next task is the first of writing, compressing, filtering a
// band of a lane and decoding whose input is ready and whose output has room.
class PagePipeline final : public PoolJob {
public:
    PagePipeline(const OpenInput& open, TiffFile& file, const PageFormat& page,
                 const PageFormat& output, const Disc& disc, double maxDiff, unsigned workers)
        : page_(page)
        , filter_(page, disc, maxDiff, bandRows)
        , bands_((page.height + bandRows - 1) / bandRows)
        , reader_(open, page, workers, 2 * bandRows + 2 * unsigned(disc.reach()))
        , writer_(file, output, workers, 2 * bandRows) {
        for (const Lane& lane : lanesOf(page.width)) {
            lanes_.push_back({lane});
        }
        const std::uint32_t widest = std::ranges::max(lanes_, {}, [](const LaneState& state) {
                                         return state.lane.columns;
                                     }).lane.columns;
        rows_.push_back(std::make_unique<FloatRows>(page, widest, bandRows, disc.reach()));
        keepsReach_ = rows_.front()->bytes() * lanes_.size() <= keptPlaneBytes;
        while (rows_.size() < (keepsReach_ ? lanes_.size() : workers)) {
            rows_.push_back(std::make_unique<FloatRows>(page, widest, bandRows, disc.reach()));
        }
    }

    std::optional<PoolTask> next(unsigned worker) override {
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
        FloatRows& rows = *rows_[keepsReach_ ? std::size_t(chosen - lanes_.data()) : worker];
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
        const std::uint32_t last = std::min(page_.height, (band + 1) * bandRows);
        const std::uint32_t read = std::min(page_.height, last + unsigned(filter_.reach()));
        return reader_.decodedRows() >= read && writer_.hasRoomFor(last);
    }

    // After a band: the rows every lane has filtered go on to be written, and the rows no lane
    // reads any more make room for decoding.
    void advance() {
        std::uint32_t filtered = page_.height;
        std::uint32_t firstRead = page_.height;
        for (const LaneState& state : lanes_) {
            filtered = std::min(filtered, state.band * bandRows);
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
    BandFilter filter_;
    std::uint32_t bands_;
    PageReader reader_;
    PageWriter writer_;
    std::vector<LaneState> lanes_;
    bool keepsReach_ = false;
    // Each lane's planes when it keeps them, else each worker's.
    std::vector<std::unique_ptr<FloatRows>> rows_;
    std::uint32_t filtered_ = 0;
};

} // namespace

void filterPage(WorkerPool& pool, const OpenInput& open, TiffFile& file, const PageFormat& page,
                const PageFormat& output, const Disc& disc, double maxDiff,
                const RowsDone& rowsDone) {
    PagePipeline pipeline(open, file, page, output, disc, maxDiff, pool.size());
    pool.run(pipeline, rowsDone);
}

} // namespace fendral
