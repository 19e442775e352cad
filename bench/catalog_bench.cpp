// Comparing two E-Files and checking one, at 1,000 and 65,535 units. The figures that count are
// the ratios: Diff / DiffLoadBoth at 65,535 (what the comparison adds to reading the two files
// with their Names E-Files), and Diff and Check each at 65,535 / 1,000 units.

#include "app/compareandcheck.h"
#include "base/fileio.h"
#include "bench/benchsupport.h"
#include "equip/efile.h"
#include "reports/check.h"
#include "reports/compare.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>
#include <unordered_set>

namespace fs = std::filesystem;

namespace varnel {
namespace {

std::string benchPath(const std::string& name) {
    return (fs::temp_directory_path() /
            ("varnel-catalog-bench-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

// Two PG2 files of `units` units, with their Names E-Files: B differs from A in the cost of
// every tenth unit and the name of every twentieth, as a modder's next version might.
struct FilePair {
    std::string a;
    std::string b;
};

FilePair writePair(std::size_t units) {
    Pg2UnitTable table = MakeBenchPg2Table(units);
    const FilePair pair{benchPath("a.eqp"), benchPath("b.eqp")};
    const auto save = [](const std::string& path, const Pg2UnitTable& t) {
        return SaveFileBytes(path, WritePg2EFile(t)) &&
               SaveFileBytes(NamesPathFor(".txt", path), WriteNamesFile(t));
    };
    bool saved = save(pair.a, table);
    const FieldDef* cost = nullptr;
    for (const FieldDef& f : FieldTable(Game::Pg2))
        if (f.kind == FieldKind::Cost)
            cost = &f;
    for (std::size_t i = 0; i < units; i += 10)
        table.units[i].record.bytes[cost->offset] ^= 1;
    for (std::size_t i = 0; i < units; i += 20)
        table.setName(i, "Renamed unit " + std::to_string(i));
    saved = save(pair.b, table) && saved;
    if (!saved)
        std::abort();
    return pair;
}

// The floor of diff: both files and their Names E-Files read as the comparison reads them.
void BM_DiffLoadBoth(benchmark::State& st) {
    const FilePair pair = writePair(static_cast<std::size_t>(st.range(0)));
    SilentUi ui;
    for (auto _ : st) {
        auto a = ReadOtherEFile(ui, Game::Pg2, pair.a, ".txt");
        auto b = ReadOtherEFile(ui, Game::Pg2, pair.b, ".txt");
        if (!a || !b)
            st.SkipWithError("reading failed");
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

// What `varnel-cli diff` does: read both, compare, write the differences as text.
void BM_Diff(benchmark::State& st) {
    const FilePair pair = writePair(static_cast<std::size_t>(st.range(0)));
    SilentUi ui;
    std::size_t changed = 0;
    for (auto _ : st) {
        auto a = ReadOtherEFile(ui, Game::Pg2, pair.a, ".txt");
        auto b = ReadOtherEFile(ui, Game::Pg2, pair.b, ".txt");
        if (!a || !b) {
            st.SkipWithError("reading failed");
            break;
        }
        const TableComparison c = ComparePg2Tables(a->pg2, b->pg2);
        const std::string text = ComparisonText(c, pair.a, pair.b);
        changed = c.changed.size();
        benchmark::DoNotOptimize(text.data());
    }
    st.counters["changed"] = static_cast<double>(changed);
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

// Every rule of the check over a table in memory, the icon and sound lookups included.
void BM_Check(benchmark::State& st) {
    const auto units = static_cast<std::size_t>(st.range(0));
    const Pg2UnitTable table = MakeBenchPg2Table(units);
    std::unordered_set<std::string> icons;
    for (std::size_t i = 0; i < 4000; i += 2)
        icons.insert(BenchIconName(i));
    CheckSources sources;
    sources.nameLines = units;
    sources.hasIcon = [&icons](const std::string& key) { return icons.count(key) != 0; };
    sources.hasSound = [](int number) { return number % 3 != 0; };
    std::size_t findings = 0;
    for (auto _ : st) {
        const CheckResult result = CheckPg2Table(table, sources);
        const std::string text = CheckText(result);
        findings = result.findings.size();
        benchmark::DoNotOptimize(text.data());
    }
    st.counters["findings"] = static_cast<double>(findings);
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

BENCHMARK(BM_DiffLoadBoth)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diff)->Arg(1000)->Arg(65535)->Unit(benchmark::kMillisecond);
// Each finding is a few strings: at 65,535 units a single round would mostly measure the first
// touch of their fresh pages.
BENCHMARK(BM_Check)->Arg(1000)->Arg(65535)->MinTime(2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnel
