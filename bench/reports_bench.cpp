// The equipment report's cost per unit: the full table at 1,000 and 65,535 units, for both games,
// and the used-icons list over the same tables. The figure to read is the ratio between the two
// sizes, which should stay near 65.5 (linear).

#include "bench/benchsupport.h"
#include "equip/tfile.h"
#include "reports/equipreport.h"
#include "reports/iconsreport.h"

#include <benchmark/benchmark.h>

#include <string>

namespace varnel {
namespace {

void BM_Pg2FullReport(benchmark::State& state) {
    const Pg2UnitTable table = MakeBenchPg2Table(static_cast<std::size_t>(state.range(0)));
    const NameTable countries(pg2::kCountryCount);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Bytes report = WritePg2Report(table, countries, "EQUIP97.EQP", FullTable);
        bytes = report.size();
        benchmark::DoNotOptimize(report.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_PegFullReport(benchmark::State& state) {
    const PegUnitTable table = MakeBenchPegTable(static_cast<std::size_t>(state.range(0)));
    const NameTable countries(peg::kCountryCount);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Bytes report = WritePegReport(table, countries, "EQUIP97.EQP", FullTable);
        bytes = report.size();
        benchmark::DoNotOptimize(report.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_PegUsedIcons(benchmark::State& state) {
    const PegUnitTable table = MakeBenchPegTable(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const Bytes report = WriteIconsReport(CollectPegIcons(table), "EQUIP97.EQP", StatInfo);
        benchmark::DoNotOptimize(report.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Pg2FullReport)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PegFullReport)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PegUsedIcons)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnel
