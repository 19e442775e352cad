// The spreadsheet round trip at 1,000 and 65,535 units: to-csv beside writing the same bytes raw,
// and from-csv (read, parse, check every cell of every column) beside to-csv. The figures that
// count are the ratios: ToCsv / ToCsvRaw, FromCsv / ToCsv, and each at 65,535 / 1,000 units.

#include "base/fileio.h"
#include "bench/benchsupport.h"
#include "convert/csvtable.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace varnel {
namespace {

const std::string& csvPath() {
    static const std::string path =
        (fs::temp_directory_path() / ("varnel-csv-bench-" + std::to_string(::getpid()) + ".csv"))
            .string();
    return path;
}

template <class Table> Table benchTable(std::size_t units) {
    if constexpr (std::is_same_v<Table, Pg2UnitTable>)
        return MakeBenchPg2Table(units);
    else
        return MakeBenchPegTable(units);
}

template <class Table> void BM_ToCsv(benchmark::State& st) {
    const Table table = benchTable<Table>(static_cast<std::size_t>(st.range(0)));
    std::size_t bytes = 0;
    for (auto _ : st) {
        const std::string csv = WriteCsv(table);
        bytes = csv.size();
        if (!SaveFileBytes(csvPath(), Bytes(csv.begin(), csv.end())))
            st.SkipWithError("saving failed");
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * bytes));
}

// The floor of to-csv: the same bytes through the same safe-save helper. The copy into Bytes is
// part of both.
template <class Table> void BM_ToCsvRaw(benchmark::State& st) {
    const std::string csv = WriteCsv(benchTable<Table>(static_cast<std::size_t>(st.range(0))));
    for (auto _ : st)
        if (!SaveFileBytes(csvPath(), Bytes(csv.begin(), csv.end())))
            st.SkipWithError("saving failed");
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * csv.size()));
}

// Reads the file back into a table: unchanged (every cell compared, none stored), or a table
// whose every unit has another cost and name (those cells go through SetField and each unit
// becomes a change of the plan).
template <class Table> void BM_FromCsv(benchmark::State& st) {
    const auto units = static_cast<std::size_t>(st.range(0));
    const Table source = benchTable<Table>(units);
    const std::string csv = WriteCsv(source);
    if (!SaveFileBytes(csvPath(), Bytes(csv.begin(), csv.end())))
        st.SkipWithError("saving failed");
    Table target = source;
    if (st.range(1) != 0) {
        const FieldDef* cost = nullptr;
        for (const FieldDef& f :
             FieldTable(std::is_same_v<Table, Pg2UnitTable> ? Game::Pg2 : Game::Peg))
            if (f.kind == FieldKind::Cost)
                cost = &f;
        for (std::size_t i = 0; i < units; ++i) {
            target.units[i].record[cost->offset] ^= 1;
            target.setName(i, "Other " + std::to_string(i));
        }
    }
    std::size_t changes = 0;
    for (auto _ : st) {
        const auto bytes = ReadFileBytes(csvPath());
        const CsvReadResult read = ReadCsv(*bytes);
        if (!read.file) {
            st.SkipWithError("reading failed");
            break;
        }
        const auto plan = PlanCsvImport(target, *read.file, {});
        changes = plan.changes.size();
        benchmark::DoNotOptimize(plan.changedUnits.data());
    }
    st.counters["changes"] = static_cast<double>(changes);
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * csv.size()));
}

void sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"units"})->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(65535);
}

void fromSizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"units", "changed"})->Unit(benchmark::kMillisecond);
    for (const int changed : {0, 1})
        for (const int units : {1000, 65535})
            b->Args({units, changed});
}

BENCHMARK(BM_ToCsv<Pg2UnitTable>)->Apply(sizes);
BENCHMARK(BM_ToCsvRaw<Pg2UnitTable>)->Apply(sizes);
BENCHMARK(BM_FromCsv<Pg2UnitTable>)->Apply(fromSizes);
BENCHMARK(BM_ToCsv<PegUnitTable>)->Apply(sizes);
BENCHMARK(BM_ToCsvRaw<PegUnitTable>)->Apply(sizes);
BENCHMARK(BM_FromCsv<PegUnitTable>)->Apply(fromSizes);

} // namespace
} // namespace varnel
