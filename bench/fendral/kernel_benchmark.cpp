// Throughput of the filter kernel alone, on one thread, for the radii the comparison script uses.
#include "selective_kernel.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

void smoothRows(benchmark::State& state) {
    const auto radius = static_cast<double>(state.range(0));
    const bool weighted = state.range(1) != 0;
    constexpr int width = 4000;
    constexpr int rows = 8;
    const fendral::Disc disc(radius);
    const std::ptrdiff_t stride = width + 2 * disc.reach();
    const auto planeSize = static_cast<std::size_t>(stride * (rows + 2 * disc.reach()));
    std::vector<float> values(planeSize);
    std::vector<float> alpha(planeSize);
    std::mt19937 random(1);
    for (std::size_t i = 0; i < planeSize; ++i) {
        values[i] = static_cast<float>(random() % 256);
        alpha[i] = static_cast<float>(random() % 256) / 255.0F;
    }
    const std::ptrdiff_t origin = disc.reach() * stride + disc.reach();
    const fendral::BandPlanes<float> planes{values.data() + origin,
                                            weighted ? alpha.data() + origin : nullptr, stride};
    std::vector<float> mean(width);
    for (auto _ : state) {
        for (int y = 0; y < rows; ++y) {
            fendral::smoothRow(disc, 10.0F, planes, y, width, mean.data(),
                               fendral::chosenKernel().levels);
        }
        benchmark::DoNotOptimize(mean.data());
    }
    // Items are samples of one channel.
    state.SetItemsProcessed(state.iterations() * width * rows);
}

BENCHMARK(smoothRows)->ArgsProduct({{1, 3, 10}, {0, 1}})->ArgNames({"radius", "alpha"});

} // namespace

BENCHMARK_MAIN();
