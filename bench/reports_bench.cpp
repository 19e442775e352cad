// The equipment report's cost per unit: the full table at 1,000 and 65,535 units, for both games,
// and the used-icons list over the same tables. The figure to read is the ratio between the two
// sizes, which should stay near 65.5 (linear).

#include "equip/tfile.h"
#include "reports/equipreport.h"
#include "reports/iconsreport.h"

#include <benchmark/benchmark.h>

#include <string>

namespace varnel {
namespace {

std::string iconName(std::size_t i) {
    return "IC" + std::to_string(i % 4000);
}

Pg2UnitTable pg2Table(std::size_t count) {
    Pg2UnitTable t;
    t.units.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        Pg2Unit& u = t.units[i];
        for (std::size_t k = 0; k < pg2::kRecordSize; ++k)
            u.record.bytes[k] = static_cast<std::uint8_t>(i * 31 + k * 7);
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record.setIcon(iconName(i));
        u.country = static_cast<std::uint8_t>(i % pg2::kCountryCount);
        u.name = "Unit number " + std::to_string(i);
    }
    return t;
}

PegUnitTable pegTable(std::size_t count) {
    PegUnitTable t;
    t.units.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        PegUnit& u = t.units[i];
        for (std::size_t k = 0; k < peg::kRecordSize; ++k)
            u.record.bytes[k] = static_cast<std::uint8_t>(i * 31 + k * 7);
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record.setUnitIcon(iconName(i));
        u.record.setMovIcon(iconName(i * 7));
        u.name = "Unit number " + std::to_string(i);
    }
    return t;
}

void BM_Pg2FullReport(benchmark::State& state) {
    const Pg2UnitTable table = pg2Table(static_cast<std::size_t>(state.range(0)));
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
    const PegUnitTable table = pegTable(static_cast<std::size_t>(state.range(0)));
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
    const PegUnitTable table = pegTable(static_cast<std::size_t>(state.range(0)));
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
