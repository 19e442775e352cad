// Conversion, merge and export at 1,000 and 65,535 units. Each runs at both sizes so the ratio of
// the two times shows whether the cost grows linearly (goal: within 1.3 x 65.5).

#include "base/filerestore.h"
#include "base/textlines.h"
#include "bench/benchsupport.h"
#include "convert/conversion.h"
#include "convert/export.h"
#include "convert/merge.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <numeric>

namespace varnel {
namespace {

constexpr int kSmall = 1000;
constexpr int kLarge = 65535;
// Each cold round first walks 64 MB, so the timed commands run a fixed number of rounds.
constexpr int kColdRounds = 200;

std::vector<int> EveryCode(std::size_t n) {
    std::vector<int> codes(n);
    std::iota(codes.begin(), codes.end(), 0);
    return codes;
}

void BM_Conversion(benchmark::State& state) {
    const Pg2UnitTable pg2 = MakeBenchPg2Table(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        EvictCaches(state);
        PegUnitTable peg = ConvertPg2Table(pg2);
        benchmark::DoNotOptimize(peg.units.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Conversion)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Iterations(kColdRounds)
    ->Unit(benchmark::kMicrosecond);

// Merge of every unit of a source E-File (in memory) into an empty table.
void BM_Merge(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    PegUnitTable source = MakeBenchPegTable(n);
    ExportFiles files = BuildPegExport(source, EveryCode(n));
    const std::vector<int> codes = EveryCode(n);
    for (auto _ : state) {
        EvictCaches(state);
        PegUnitTable table;
        benchmark::DoNotOptimize(MergePegUnits(table, files.eFile, files.names, codes));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Merge)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Iterations(kColdRounds)
    ->Unit(benchmark::kMicrosecond);

// The physical floor of merge and export: the same E-File and names bytes copied raw.
void BM_FloorRawCopy(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    PegUnitTable source = MakeBenchPegTable(n);
    const ExportFiles files = BuildPegExport(source, EveryCode(n));
    for (auto _ : state) {
        EvictCaches(state);
        Bytes eFile(files.eFile);
        Bytes names(files.names);
        benchmark::DoNotOptimize(eFile.data());
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FloorRawCopy)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Iterations(kColdRounds)
    ->Unit(benchmark::kMicrosecond);

void BM_ExportInMemory(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    Pg2UnitTable table = MakeBenchPg2Table(n);
    const std::vector<int> codes = EveryCode(n);
    for (auto _ : state) {
        EvictCaches(state);
        ExportFiles files = BuildPg2Export(table, codes);
        benchmark::DoNotOptimize(files.eFile.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ExportInMemory)
    ->Arg(kSmall)
    ->Arg(kLarge)
    ->Iterations(kColdRounds)
    ->Unit(benchmark::kMicrosecond);

// The export as the command writes it: both files through the safe save.
void BM_ExportToFiles(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    Pg2UnitTable table = MakeBenchPg2Table(n);
    const std::vector<int> codes = EveryCode(n);
    const auto dir = std::filesystem::temp_directory_path() / "varnel-bench-export";
    std::filesystem::create_directories(dir);
    const std::string eFile = (dir / "OUT.EQP").string();
    const std::string names = (dir / "OUT.txt").string();
    for (auto _ : state) {
        ExportFiles files = BuildPg2Export(table, codes);
        if (WriteFilePair(eFile, files.eFile, names, files.names))
            state.SkipWithError("cannot write the export");
    }
    std::filesystem::remove_all(dir);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ExportToFiles)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace varnel
