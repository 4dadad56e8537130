// Colorimetry speed: reading the CIE tables (what the first conversion pays once, before the weights),
// spectra to L*a*b* under one condition and under all four, and the preflight's colour work per row
// (L*a*b* under each condition and its CIEDE2000 from the file's value).

#include "CieTables.h"
#include "Colour.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Reflectance spectra of the given count, varied like the generated measurement files.
const std::vector<colour::Spectrum>& spectra(int count) {
    static std::vector<colour::Spectrum> made;
    if (made.size() < static_cast<size_t>(count)) {
        made.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < colour::kBandCount; ++k)
                made[static_cast<size_t>(i)][static_cast<size_t>(k)] =
                    0.05 + 0.8 * ((i * 7 + k * 13) % 97) / 97.0;
    }
    return made;
}

void BM_LoadCieTables(benchmark::State& state) {
    for (auto _ : state)
        for (const auto& table :
             {colour::kIlluminantD50, colour::kIlluminantD65, colour::kObserver2, colour::kObserver10})
            benchmark::DoNotOptimize(colour::LoadCieTable(table));
}
BENCHMARK(BM_LoadCieTables)->Unit(benchmark::kMicrosecond);

void BM_SpectrumToLab(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const auto& input = spectra(rows);
    colour::SpectrumToLab(input[0], {}); // the weights are made on first use, outside the timing
    for (auto _ : state)
        for (int i = 0; i < rows; ++i)
            benchmark::DoNotOptimize(colour::SpectrumToLab(input[static_cast<size_t>(i)], {}));
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_SpectrumToLab)->Arg(1617)->Arg(161700)->Unit(benchmark::kMicrosecond);

void BM_SpectrumToLabAllConditions(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const auto& input = spectra(rows);
    colour::SpectrumToLab(input[0], {});
    for (auto _ : state)
        for (const colour::Condition condition : colour::AllConditions())
            for (int i = 0; i < rows; ++i)
                benchmark::DoNotOptimize(colour::SpectrumToLab(input[static_cast<size_t>(i)], condition));
    state.SetItemsProcessed(state.iterations() * rows * 4);
}
BENCHMARK(BM_SpectrumToLabAllConditions)->Arg(1617)->Arg(161700)->Unit(benchmark::kMicrosecond);

void BM_LabAndDeltaE00AllConditions(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const auto& input = spectra(rows);
    const colour::Lab file{50, 10, -10};
    colour::SpectrumToLab(input[0], {});
    for (auto _ : state)
        for (const colour::Condition condition : colour::AllConditions())
            for (int i = 0; i < rows; ++i)
                benchmark::DoNotOptimize(
                    colour::DeltaE00(file, colour::SpectrumToLab(input[static_cast<size_t>(i)], condition)));
    state.SetItemsProcessed(state.iterations() * rows * 4);
}
BENCHMARK(BM_LabAndDeltaE00AllConditions)->Arg(1617)->Arg(161700)->Unit(benchmark::kMicrosecond);

} // namespace
