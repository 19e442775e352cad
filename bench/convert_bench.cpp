// Conversion, merge and export at 1,000 and 65,535 units. Each runs at both sizes so the ratio of
// the two times shows whether the cost grows linearly (goal: within 1.3 x 65.5).

#include "convert/conversion.h"
#include "convert/export.h"
#include "convert/merge.h"
#include "tools/textlines.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <numeric>

namespace varnel {
namespace {

constexpr int kSmall = 1000;
constexpr int kLarge = 65535;
// Each cold round first walks 64 MB, so the timed commands run a fixed number of rounds.
constexpr int kColdRounds = 200;

// A command runs once on data that is not in the processor's caches: every round of a timed
// command starts after 64 MB of other data, at both sizes alike, so the 1,000-unit figure is not
// one of a table that stays in the cache from round to round.
void evictCaches(benchmark::State& state) {
    static std::vector<std::uint8_t> other(64u << 20);
    state.PauseTiming();
    for (std::size_t i = 0; i < other.size(); i += 64)
        other[i] = static_cast<std::uint8_t>(other[i] + 1);
    benchmark::ClobberMemory();
    state.ResumeTiming();
}

Pg2UnitTable MakePg2Table(std::size_t n) {
    Pg2UnitTable t;
    t.units.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        Pg2Unit& u = t.units[i];
        for (std::size_t b = 0; b < pg2::kRecordSize; ++b)
            u.record.bytes[b] = static_cast<std::uint8_t>(i * 7 + b);
        u.record[pg2::CountryMask + static_cast<int>(i % 4)] =
            static_cast<std::uint8_t>(1u << (i % 8));
        u.special1[i % 8] = 1;
        u.name = "Unit number " + std::to_string(i);
    }
    return t;
}

PegUnitTable MakePegTable(std::size_t n) {
    PegUnitTable t;
    t.units.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t b = 0; b < peg::kRecordSize; ++b)
            t.units[i].record.bytes[b] = static_cast<std::uint8_t>(i * 5 + b);
        t.units[i].name = "Unit number " + std::to_string(i);
    }
    return t;
}

std::vector<int> EveryCode(std::size_t n) {
    std::vector<int> codes(n);
    std::iota(codes.begin(), codes.end(), 0);
    return codes;
}

void BM_Conversion(benchmark::State& state) {
    const Pg2UnitTable pg2 = MakePg2Table(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        evictCaches(state);
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
    PegUnitTable source = MakePegTable(n);
    ExportFiles files = BuildPegExport(source, EveryCode(n));
    const std::vector<int> codes = EveryCode(n);
    for (auto _ : state) {
        evictCaches(state);
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
    PegUnitTable source = MakePegTable(n);
    const ExportFiles files = BuildPegExport(source, EveryCode(n));
    for (auto _ : state) {
        evictCaches(state);
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
    Pg2UnitTable table = MakePg2Table(n);
    const std::vector<int> codes = EveryCode(n);
    for (auto _ : state) {
        evictCaches(state);
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
    Pg2UnitTable table = MakePg2Table(n);
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
